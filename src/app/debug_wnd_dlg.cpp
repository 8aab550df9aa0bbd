#include "app/debug_wnd_dlg.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>

CDebugWndDlg::CDebugWndDlg(QWidget* owner) : QDialog(owner) {
    setWindowTitle("Debug");
    setModal(false);
    setMinimumSize(150, 250);
    output = new QPlainTextEdit(this);
    output->setLineWrapMode(QPlainTextEdit::NoWrap);
    closeButton = new QPushButton("Close", this);
    closeButton->setDefault(true);
    // Close, Enter and Escape only hide the window; its text stays.
    connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
    resize(480, 320);
}

void CDebugWndDlg::Append(const QString& text) {
    // Scripts add their own line breaks; CR LF shows as one break.
    QString plain = output->toPlainText() + QString(text).replace("\r\n", "\n");
    output->setPlainText(plain);
    QTextCursor cursor = output->textCursor();
    cursor.movePosition(QTextCursor::End);
    output->setTextCursor(cursor);
    output->ensureCursorVisible();
}

void CDebugWndDlg::Clear() {
    output->clear();
}

QString CDebugWndDlg::Text() const {
    return output->toPlainText();
}

void CDebugWndDlg::resizeEvent(QResizeEvent* event) {
    // The button keeps its size and left edge at the bottom margin; the text fills the rest.
    QSize size = event->size();
    int buttonHeight = 24, buttonWidth = 80;
    closeButton->setGeometry(margin, size.height() - margin - buttonHeight, buttonWidth, buttonHeight);
    output->setGeometry(margin, margin, size.width() - 2 * margin, size.height() - 3 * margin - buttonHeight);
    QDialog::resizeEvent(event);
}
