#include "platform/qt/kx_input_box.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

// The box's layout in pixels: the prompt's width and the base size before it grows.
constexpr int promptWidth = 300;
constexpr int baseWidth = 390;
constexpr int baseHeight = 110;

}  // namespace

int CKXInputBox::PromptLines(const QString& prompt, const QFont& font, int width) {
    int textWidth = QFontMetrics(font).horizontalAdvance(prompt);
    return std::max(1, (textWidth + width - 1) / std::max(1, width));
}

CKXInputBox::CKXInputBox(QWidget* owner, const QString& title, const QString& prompt, const QString& defaultText,
                         bool password, int icon)
    : QDialog(owner) {
    setWindowTitle(title);
    QStyle::StandardPixmap standard = QStyle::SP_CustomBase;
    switch (icon) {
        case 16:
            standard = QStyle::SP_MessageBoxCritical;
            break;
        case 32:
            standard = QStyle::SP_MessageBoxQuestion;
            break;
        case 48:
            standard = QStyle::SP_MessageBoxWarning;
            break;
        case 64:
            standard = QStyle::SP_MessageBoxInformation;
            break;
        default:
            break;
    }
    int left = 10;
    if (standard != QStyle::SP_CustomBase) {
        auto* iconLabel = new QLabel(this);
        iconLabel->setPixmap(style()->standardIcon(standard).pixmap(32, 32));
        iconLabel->setGeometry(10, 10, 32, 32);
        left = 52;
    }
    auto* promptLabel = new QLabel(prompt, this);
    promptLabel->setWordWrap(true);
    int lineHeight = QFontMetrics(promptLabel->font()).height();
    int grow = (PromptLines(prompt, promptLabel->font(), promptWidth) - 1) * lineHeight;
    promptLabel->setGeometry(left, 10, promptWidth, lineHeight + grow);

    edit = new QLineEdit(defaultText, this);
    edit->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    edit->setGeometry(left, 20 + lineHeight + grow, promptWidth, 24);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setGeometry(left, 52 + lineHeight + grow, promptWidth, 30);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setFixedSize(std::max(baseWidth, left + promptWidth + 10), baseHeight + lineHeight + grow);
    edit->setFocus();
}

QString CKXInputBox::Answer() const {
    return edit->text();
}
