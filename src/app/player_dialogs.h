#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/qt/qt_dialogs.h"

class CodePage;
class EventLog;
struct PlayerOptions;

// Dialogs shown for real, and logged.
class LoggedDialogs : public CKXDialogs {
public:
    LoggedDialogs(CKXDialogs& inner, EventLog& log, const CodePage& codePage)
        : inner(inner), log(log), codePage(codePage) {}
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    bool InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText, bool password,
                  std::string& answer, int icon) override;
    bool FileBrowse(bool save, const std::string& title, const std::string& folder, const std::string& filter,
                    const std::string& defaultName, bool multiple, std::vector<std::string>& files) override;

private:
    CKXDialogs& inner;
    EventLog& log;
    const CodePage& codePage;
};

// The dialogs of a run: at a screen the toolkit's own; in a headless or replayed run the scripted
// ones, answered at once. Both are logged. A run that shows no window and keeps no log tells the
// person who started it on standard error why it could not start, and each script error, as
// "vantorix: TITLE: TEXT".
class PlayerDialogs {
public:
    PlayerDialogs(const PlayerOptions& options, EventLog& log, const CodePage& codePage);
    PlayerDialogs(const PlayerDialogs&) = delete;
    PlayerDialogs& operator=(const PlayerDialogs&) = delete;

    // Headless or replayed: dialogs are answered, not shown.
    bool Scripted() const { return scripted; }
    CKXDialogs& Active() { return scripted ? static_cast<CKXDialogs&>(scriptedDialogs) : loggedDialogs; }
    ScriptedDialogs& Answered() { return scriptedDialogs; }
    // The window real dialogs belong to.
    void SetOwner(QWidget* window) { qtDialogs.SetOwner(window); }
    // The run could not start: the message it showed, for whoever saw nothing of it.
    void TellWhyItCouldNotStart();

private:
    void Tell(const DialogRecord& record) const;

    const CodePage& codePage;
    bool scripted;
    bool tellOnStandardError;
    std::optional<DialogRecord> lastMessage;
    ScriptedDialogs scriptedDialogs;
    QtDialogs qtDialogs;
    LoggedDialogs loggedDialogs;
};
