#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Message box styles and results, with the numbers menus pass and expect.
enum : unsigned {
    MB_OK = 0,
    MB_OKCANCEL = 1,
    MB_ABORTRETRYIGNORE = 2,
    MB_YESNOCANCEL = 3,
    MB_YESNO = 4,
    MB_RETRYCANCEL = 5,
    MB_ICONSTOP = 16,
    MB_ICONQUESTION = 32,
    MB_ICONEXCLAMATION = 48,
    MB_ICONINFORMATION = 64,
    MB_DEFBUTTON2 = 256,
    MB_DEFBUTTON3 = 512,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Every dialog the player shows goes through this interface: the desktop one shows windows,
// the scripted one answers from a queue for headless runs and tests.
class CKXDialogs {
public:
    virtual ~CKXDialogs() = default;
    // Returns the ID of the button chosen.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned style) = 0;
    // Returns false when cancelled. icon: 16 stop, 32 question, 48 exclamation, 64 information,
    // anything else none.
    virtual bool InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                          bool password, std::string& answer, int icon = 0) = 0;
    // Open or save file dialog; filter is "description|pattern|..." text. False when cancelled.
    virtual bool FileBrowse(bool save, const std::string& title, const std::string& folder, const std::string& filter,
                            const std::string& defaultName, bool multiple, std::vector<std::string>& files) = 0;
};

// The buttons of a message box style, in order, and the one its default-button bits choose.
std::vector<int> MessageBoxButtons(unsigned style);
int DefaultMessageBoxButton(unsigned style);

// One dialog request as headless runs log it.
struct DialogRecord {
    std::string kind;  // "message", "input", "password", "open", "save"
    std::string title;
    std::string text;
    unsigned style = 0;
    std::string answer;  // the button ID as a number, the text typed, or the files chosen
    bool cancelled = false;
};

// Answers each dialog from a queue of answers, or with its default (the default button, the
// default text, no files) when the queue is empty; reports every request to a listener.
class ScriptedDialogs : public CKXDialogs {
public:
    struct Answer {
        bool cancel = false;
        int button = 0;                  // for message boxes; 0 takes the default button
        std::string text;                // for input boxes
        std::vector<std::string> files;  // for file dialogs
    };

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    bool InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText, bool password,
                  std::string& answer, int icon = 0) override;
    bool FileBrowse(bool save, const std::string& title, const std::string& folder, const std::string& filter,
                    const std::string& defaultName, bool multiple, std::vector<std::string>& files) override;

    std::deque<Answer> answers;
    std::vector<DialogRecord> records;
    std::function<void(const DialogRecord&)> listener;

private:
    void Record(DialogRecord record);
};
