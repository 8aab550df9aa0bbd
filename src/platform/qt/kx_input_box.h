#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// The input box of the page scripts: a prompt, one edit (plain or password), OK and Cancel, and an
// optional standard icon. A long prompt makes the box grow by the lines it needs.
class CKXInputBox : public QDialog {
    Q_OBJECT
public:
    CKXInputBox(QWidget* owner, const QString& title, const QString& prompt, const QString& defaultText, bool password,
                int icon);
    QString Answer() const;
    // How many lines the prompt takes at the prompt's width: its width over that, rounded up.
    static int PromptLines(const QString& prompt, const QFont& font, int width);

private:
    QLineEdit* edit;
};
