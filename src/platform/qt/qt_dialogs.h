#pragma once

#include <QString>

#include "platform/dialogs.h"

class CodePage;
class QWidget;

// The player's dialogs as Qt dialogs owned by the main window. Texts come and go in the
// project's code page.
class QtDialogs : public CKXDialogs {
public:
    explicit QtDialogs(const CodePage& codePage, QWidget* owner = nullptr) : codePage(codePage), owner(owner) {}
    void SetOwner(QWidget* window) { owner = window; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    bool InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText, bool password,
                  std::string& answer, int icon = 0) override;
    bool FileBrowse(bool save, const std::string& title, const std::string& folder, const std::string& filter,
                    const std::string& defaultName, bool multiple, std::vector<std::string>& files) override;

private:
    QString Text(const std::string& text) const;
    std::string FromText(const QString& text) const;

    const CodePage& codePage;
    QWidget* owner;
};
