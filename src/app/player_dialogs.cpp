#include "app/player_dialogs.h"

#include <cstdio>

#include "app/event_log.h"
#include "app/px_runtime_app.h"
#include "platform/code_page.h"

int LoggedDialogs::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    int answer = inner.MessageBox(text, caption, style);
    log.Dialog("message", codePage.ToUtf8(caption), codePage.ToUtf8(text), style, answer);
    return answer;
}

bool LoggedDialogs::InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                             bool password, std::string& answer, int icon) {
    bool ok = inner.InputBox(prompt, title, defaultText, password, answer, icon);
    log.Dialog(password ? "password" : "input", codePage.ToUtf8(title), codePage.ToUtf8(prompt), 0,
               ok ? nlohmann::ordered_json(codePage.ToUtf8(answer)) : nlohmann::ordered_json(nullptr));
    return ok;
}

bool LoggedDialogs::FileBrowse(bool save, const std::string& title, const std::string& folder,
                               const std::string& filter, const std::string& defaultName, bool multiple,
                               std::vector<std::string>& files) {
    bool ok = inner.FileBrowse(save, title, folder, filter, defaultName, multiple, files);
    std::string chosen;
    for (const std::string& file : files) chosen += (chosen.empty() ? "" : "|") + codePage.ToUtf8(file);
    log.Dialog(save ? "save" : "open", codePage.ToUtf8(title), codePage.ToUtf8(filter), 0,
               ok ? nlohmann::ordered_json(chosen) : nlohmann::ordered_json(nullptr));
    return ok;
}

PlayerDialogs::PlayerDialogs(const PlayerOptions& options, EventLog& log, const CodePage& codePage)
    : codePage(codePage),
      scripted(options.headless || !options.replayFile.empty()),
      tellOnStandardError(scripted && options.logFile.empty()),
      qtDialogs(codePage),
      loggedDialogs(qtDialogs, log, codePage) {
    scriptedDialogs.listener = [this, &log](const DialogRecord& record) {
        if (tellOnStandardError && record.kind == "message") {
            lastMessage = record;
            // A script's error box; the one that ends the run is told when the run ends.
            if (record.title == "Error") {
                Tell(record);
                lastMessage.reset();
            }
        }
        nlohmann::ordered_json answer = nullptr;
        if (!record.cancelled) {
            answer = record.kind == "message" ? nlohmann::ordered_json(std::stoi(record.answer))
                                              : nlohmann::ordered_json(this->codePage.ToUtf8(record.answer));
        }
        log.Dialog(record.kind, this->codePage.ToUtf8(record.title), this->codePage.ToUtf8(record.text), record.style,
                   answer);
    };
}

void PlayerDialogs::TellWhyItCouldNotStart() {
    if (tellOnStandardError && lastMessage) Tell(*lastMessage);
}

void PlayerDialogs::Tell(const DialogRecord& record) const {
    std::string line = "vantorix: " + (record.title.empty() ? "" : codePage.ToUtf8(record.title) + ": ") +
                       codePage.ToUtf8(record.text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}
