#include "platform/dialogs.h"

#include <algorithm>

std::vector<int> MessageBoxButtons(unsigned style) {
    switch (style & 0xF) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

int DefaultMessageBoxButton(unsigned style) {
    std::vector<int> buttons = MessageBoxButtons(style);
    std::size_t index = (style >> 8) & 0xF;
    // A default beyond the last button falls back to the first, as message boxes do.
    return index < buttons.size() ? buttons[index] : buttons.front();
}

void ScriptedDialogs::Record(DialogRecord record) {
    records.push_back(record);
    if (listener) listener(records.back());
}

int ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    int button = DefaultMessageBoxButton(style);
    if (!answers.empty()) {
        Answer answer = answers.front();
        answers.pop_front();
        std::vector<int> buttons = MessageBoxButtons(style);
        if (answer.cancel) {
            // Cancel is what closing the box gives; boxes without it give their only button.
            bool hasCancel = std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end();
            button = hasCancel ? IDCANCEL : (buttons.size() == 1 ? buttons.front() : button);
        } else if (answer.button != 0) {
            button = answer.button;
        }
    }
    Record({"message", caption, text, style, std::to_string(button), false});
    return button;
}

bool ScriptedDialogs::InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                               bool password, std::string& answer, int) {
    // Without a queued answer nobody is there to type: the box is cancelled.
    (void)defaultText;
    bool cancelled = true;
    if (!answers.empty()) {
        cancelled = answers.front().cancel;
        if (!cancelled) answer = answers.front().text;
        answers.pop_front();
    }
    Record({password ? "password" : "input", title, prompt, 0, cancelled ? "" : answer, cancelled});
    return !cancelled;
}

bool ScriptedDialogs::FileBrowse(bool save, const std::string& title, const std::string&, const std::string& filter,
                                 const std::string&, bool, std::vector<std::string>& files) {
    files.clear();
    bool cancelled = true;
    if (!answers.empty()) {
        cancelled = answers.front().cancel || answers.front().files.empty();
        files = answers.front().files;
        answers.pop_front();
    }
    std::string joined;
    for (const std::string& file : files) joined += (joined.empty() ? "" : "|") + file;
    Record({save ? "save" : "open", title, filter, 0, joined, cancelled});
    return !cancelled;
}
