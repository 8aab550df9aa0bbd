#include "view/objects/text_layout.h"

#include <QFontMetrics>

#include <algorithm>

#include "platform/code_page.h"
#include "project/kx_font.h"

QStringList LinesOf(const std::string& text, const CodePage& codePage) {
    QStringList lines;
    for (QString line : QString::fromStdString(codePage.ToUtf8(text)).split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines << line;
    }
    return lines;
}

QFont MakeFont(const CKXFont& description, const CodePage& codePage) {
    QFont font(QString::fromStdString(codePage.ToUtf8(description.faceName)));
    // No page is taller than this; a damaged height must not make glyphs of giant size.
    constexpr int maxPixels = 2000;
    int height = std::clamp(description.height, -maxPixels, maxPixels);
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        // A positive height is the cell height, leading included: scale the character height to it.
        font.setPixelSize(height);
        int cell = QFontMetrics(font).height();
        if (cell > 0) font.setPixelSize(std::max(1, height * height / cell));
    }
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp(description.weight == 0 ? 400 : description.weight, 100, 900)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeout != 0);
    font.setStyleStrategy(description.smoothing ? QFont::PreferAntialias : QFont::NoAntialias);
    return font;
}

QRect MeasureText(const std::string& text, const QFont& font, const CodePage& codePage, QPoint topLeft) {
    if (text.empty()) return QRect(topLeft, QSize(5, 5));
    QStringList lines = LinesOf(text, codePage);
    QFontMetrics metrics(font);
    QString widest;
    int widestWidth = -1;
    for (const QString& line : lines) {
        int width = metrics.horizontalAdvance(line);
        if (width > widestWidth) {
            widestWidth = width;
            widest = line;
        }
    }
    int count = static_cast<int>(lines.size());
    if (widest.isEmpty()) return QRect(topLeft, QSize(6, 6 * count));
    return QRect(topLeft, QSize(widestWidth + 6, count * metrics.height() + 6));
}
