#pragma once

// A script engine with the full environment and action library, its dialogs answered from a
// queue and its debug output collected, in a temporary player folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "actions/action_tables.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/kx_registry.h"
#include "platform/windows_paths.h"
#include "script/lua_engine.h"
#include "script/script_document.h"
#include "script/script_environment.h"
#include "temp_folder.h"

class CollectingFrame : public CKXFrameServices {
public:
    void DebugWindowAppend(const std::string& text) override { output += text; }
    void DebugWindowClear() override { output.clear(); }
    void ShowDebugWindow(bool show) override { shown = show; }
    void PostCloseRequest() override { ++closeRequests; }
    void RepaintNow() override { ++repaints; }
    void PumpMessagesFiltered(int milliseconds) override {
        waits.push_back(milliseconds);
        if (onPump) onPump();
    }
    std::function<void()> onPump;  // an event served while a script waits
    std::string output;
    bool shown = false;
    int closeRequests = 0;
    int repaints = 0;
    std::vector<int> waits;
};

class ScriptFixture {
public:
    // The environment makes the player's folder the current directory; later tests get theirs back.
    struct RestoreCurrentDirectory {
        std::filesystem::path saved = std::filesystem::current_path();
        ~RestoreCurrentDirectory() { std::filesystem::current_path(saved); }
    } restoreCurrentDirectory;

    ScriptFixture()
        : document(dialogs, frame, CodePage::Default()),
          registry((WindowsPathLayer::Instance().SetDataHome(data.path), data / "registry.sqlite")) {
        document.SetExeFolder(WindowsPathLayer::Instance().ToWindowsPath(player.path));
        document.SetDataFolderName("Data");
        document.SetRegistry(&registry);
        engine = std::make_unique<CLUAEngine>(document, ActionTables());
        BuildEnvironment(*engine, CollectBuiltInFolders(&registry));
    }

    // Runs a script as a button's click event; the author's line 1 is the script's first line.
    int Run(const std::string& script, const std::string& context = "Page1 -> Button1 -> On Click") {
        return document.RunEventScript(script, context, "local this=\"Button1\";");
    }

    // The value of a Lua expression, as text.
    std::string Eval(const std::string& expression) {
        Run("Debug.Print(tostring(" + expression + "))");
        std::string value = frame.output;
        frame.output.clear();
        return value;
    }

    std::vector<std::string> ErrorBoxes() const {
        std::vector<std::string> texts;
        for (const DialogRecord& record : dialogs.records) {
            if (record.kind == "message" && record.title == "Error") texts.push_back(record.text);
        }
        return texts;
    }

    TempFolder data;
    TempFolder player;
    ScriptedDialogs dialogs;
    CollectingFrame frame;
    CKXScriptDocument document;
    CKXRegistry registry;
    std::unique_ptr<CLUAEngine> engine;
};

// One action call: a Lua expression (or, with no value, a statement), the expression's value as
// text, and the last-error code the call leaves.
struct ActionCase {
    const char* expression;
    const char* value;
    int code;
};

inline void CheckActionCase(ScriptFixture& fixture, const ActionCase& c) {
    if (c.value) {
        EXPECT_EQ(fixture.Eval(c.expression), c.value) << c.expression;
    } else {
        fixture.Run(c.expression);
    }
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), std::to_string(c.code)) << c.expression;
}
