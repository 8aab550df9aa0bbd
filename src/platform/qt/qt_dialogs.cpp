#include "platform/qt/qt_dialogs.h"

#include "platform/code_page.h"
#include "platform/qt/kx_input_box.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::StandardButton ButtonFor(int id) {
    switch (id) {
        case IDOK:
            return QMessageBox::Ok;
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::NoButton;
    }
}

QMessageBox::Icon IconFor(unsigned style) {
    switch (style & 0xF0) {
        case MB_ICONSTOP:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QString QtDialogs::Text(const std::string& text) const {
    return QString::fromStdString(codePage.ToUtf8(text));
}

std::string QtDialogs::FromText(const QString& text) const {
    return codePage.FromUtf8Lossy(text.toStdString());
}

int QtDialogs::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    QMessageBox box(IconFor(style), Text(caption), Text(text), QMessageBox::NoButton, owner);
    std::vector<int> buttons = MessageBoxButtons(style);
    for (int id : buttons) box.addButton(ButtonFor(id));
    box.setDefaultButton(ButtonFor(DefaultMessageBoxButton(style)));
    if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end() || buttons.size() == 1) {
        box.setEscapeButton(ButtonFor(buttons.size() == 1 ? buttons.front() : IDCANCEL));
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int id : buttons) {
        if (box.button(ButtonFor(id)) == clicked) return id;
    }
    return buttons.size() == 1 ? buttons.front() : IDCANCEL;
}

bool QtDialogs::InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                         bool password, std::string& answer, int icon) {
    CKXInputBox box(owner, Text(title), Text(prompt), password ? QString() : Text(defaultText), password, icon);
    if (box.exec() != QDialog::Accepted) return false;
    answer = FromText(box.Answer());
    return true;
}

bool QtDialogs::FileBrowse(bool save, const std::string& title, const std::string& folder, const std::string& filter,
                           const std::string& defaultName, bool multiple, std::vector<std::string>& files) {
    // "description|pattern|description|pattern|" becomes Qt's "description (pattern);;...".
    QStringList parts = Text(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    QString start = Text(folder);
    if (!defaultName.empty()) start += "/" + Text(defaultName);
    files.clear();
    if (save) {
        QString file = QFileDialog::getSaveFileName(owner, Text(title), start, filters.join(";;"));
        if (!file.isEmpty()) files.push_back(FromText(file));
    } else if (multiple) {
        for (const QString& file : QFileDialog::getOpenFileNames(owner, Text(title), start, filters.join(";;"))) {
            files.push_back(FromText(file));
        }
    } else {
        QString file = QFileDialog::getOpenFileName(owner, Text(title), start, filters.join(";;"));
        if (!file.isEmpty()) files.push_back(FromText(file));
    }
    return !files.empty();
}
