#include "run_script.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>

#include "actions/action_tables.h"
#include "data_file_io.h"
#include "json_with_lines.h"
#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/kx_registry.h"
#include "platform/watchdog.h"
#include "platform/windows_paths.h"
#include "project/vantorix_project.h"
#include "script/lua_engine.h"
#include "script/script_document.h"
#include "script/script_environment.h"

namespace {

void PrintEvent(const Json& event) {
    std::cout << event.dump() << std::endl;
}

// Debug output goes to standard output as it happens.
class PrintingFrame : public CKXFrameServices {
public:
    explicit PrintingFrame(const CodePage& codePage) : codePage(codePage) {}
    void DebugWindowAppend(const std::string& text) override {
        PrintEvent({{"ev", "debug"}, {"text", codePage.ToUtf8(text)}});
    }

private:
    const CodePage& codePage;
};

Json DialogEvent(const DialogRecord& record, const CodePage& codePage) {
    Json event = {{"ev", "dialog"},
                  {"kind", record.kind},
                  {"title", codePage.ToUtf8(record.title)},
                  {"text", codePage.ToUtf8(record.text)},
                  {"style", record.style}};
    if (record.cancelled) {
        event["answer"] = nullptr;
    } else if (record.kind == "message") {
        event["answer"] = std::stoi(record.answer);
    } else {
        event["answer"] = codePage.ToUtf8(record.answer);
    }
    return event;
}

}  // namespace

int RunScript(const RunScriptOptions& options, const CodePage& codePage) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(options.scriptFile, bytes, &error)) throw ToolError(error);
    // Project scripts come from a Windows editor with CR LF line ends; give files the same.
    std::string script;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) script += '\r';
        script += static_cast<char>(bytes[i]);
    }

    ScriptedDialogs dialogs;
    dialogs.listener = [&](const DialogRecord& record) { PrintEvent(DialogEvent(record, codePage)); };
    PrintingFrame frame(codePage);
    CKXScriptDocument document(dialogs, frame, codePage);
    std::string folder = std::filesystem::current_path().string();
    if (!options.projectFile.empty()) {
        auto project = LoadDataFile(options.projectFile, options.password, codePage);
        document.SetDataFolderName(project->header.dataFolderName);
        document.SetDoFlashCheck(project->doFlashCheck != 0);
        folder = std::filesystem::absolute(options.projectFile).parent_path().string();
    }
    document.SetExeFolder(WindowsPathLayer::Instance().ToWindowsPath(folder));
    CKXRegistry registry(CKXRegistry::DefaultPath());
    document.SetRegistry(&registry);

    // Declared before the engine, so that it outlives it: the engine's finalizers run as it goes,
    // and one that never returns must not keep the tool alive.
    std::optional<CKXWatchdog> shutdownWatch;
    CLUAEngine engine(document, ActionTables());
    BuildEnvironment(engine, CollectBuiltInFolders(&registry));
    if (options.trace) engine.traceMode = 1;
    int status = document.RunEventScript(script, "Startup", "");
    shutdownWatch.emplace(
        std::chrono::seconds(3), nullptr, std::chrono::milliseconds(0), [] { std::cout.flush(); }, status);
    return status;
}
