#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;
class QPushButton;

// The debug window: the output of Debug.Print and of trace mode, with a Close button that only
// hides it. Its text grows for the whole run and keeps what the user typed into it.
class CDebugWndDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDebugWndDlg(QWidget* owner);

    void Append(const QString& text);
    void Clear();
    QString Text() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* output;
    QPushButton* closeButton;
    int margin = 7;
};
