#include "view/objects/paragraph_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

#include <algorithm>

int ParagraphLineHeight(const QFont& font) {
    return std::max(1, QFontMetrics(font).height());
}

void CParagraphText::Prepare(const QString& newText, const QFont& newFont, bool newWrap, int newWrapWidth) {
    if (!newWrap) newWrapWidth = -1;
    if (prepared && newText == text && newFont == font && newWrap == wrap && newWrapWidth == wrapWidth) return;
    text = newText;
    font = newFont;
    wrap = newWrap;
    wrapWidth = newWrapWidth;
    prepared = true;
    blocks.clear();
    lines.clear();
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    // Tab stops every eight average characters, as the desktop's text drawing has them.
    option.setTabStopDistance(8 * std::max(1, QFontMetrics(font).averageCharWidth()));
    // Lines stack at the measured height, not the layout's own (which may round up or add
    // leading): scrolling moves the text by whole lines.
    const int height = ParagraphLineHeight(font);
    int top = 0, widest = 0;
    for (const QString& part : text.split('\n')) {
        auto& block = blocks.emplace_back(std::make_unique<QTextLayout>(part, font));
        block->setTextOption(option);
        block->beginLayout();
        for (QTextLine line = block->createLine(); line.isValid(); line = block->createLine()) {
            line.setLineWidth(wrap ? std::max(1, wrapWidth) : 1e9);
            line.setPosition(QPointF(0, 0));
            int width = static_cast<int>(line.naturalTextWidth() + 0.999);
            lines.push_back({line, top, height, width});
            top += height;
            widest = std::max(widest, width);
        }
        block->endLayout();
    }
    size = QSize(widest, top);
}

void CParagraphText::Draw(QPainter& painter, QPoint origin, int width, int alignment, const QRect& clip) const {
    // The lines are in order from the top: find the first that reaches into the clip.
    auto first = std::partition_point(lines.begin(), lines.end(), [&](const Line& line) {
        return origin.y() + line.top + line.height <= clip.top();
    });
    for (auto it = first; it != lines.end() && origin.y() + it->top < clip.bottom() + 1; ++it) {
        int x = origin.x();
        if (alignment == 1) x += (width - it->width) / 2;
        if (alignment == 2) x += width - it->width;
        it->line.draw(&painter, QPointF(x, origin.y() + it->top));
    }
}
