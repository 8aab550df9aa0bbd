#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <vector>

class QPainter;

// The height of "TgijkOO" on one line in font, without the font's external leading: the height
// every line of a paragraph is drawn at, and the paragraph's scroll unit.
int ParagraphLineHeight(const QFont& font);

// A paragraph's text laid out once: every line of it, wrapped at word boundaries to a width when
// asked, tabs expanded. Kept while the text, font, width and wrapping stay the same, so that
// scrolling a long text only draws the lines that show.
class CParagraphText {
public:
    // Lays the text out again unless it is laid out already for these values. wrapWidth only
    // counts when wrapping.
    void Prepare(const QString& text, const QFont& font, bool wrap, int wrapWidth);
    // The laid-out block: its widest line and its total height (its lines at the line height).
    QSize Size() const { return size; }
    // Draws the lines that meet clip, aligned within a block width wide whose top-left is at
    // origin (alignment: 0 left, 1 centre, 2 right).
    void Draw(QPainter& painter, QPoint origin, int width, int alignment, const QRect& clip) const;

private:
    struct Line {
        QTextLine line;
        int top;
        int height;
        int width;
    };
    QString text;
    QFont font;
    bool wrap = false;
    int wrapWidth = -1;
    bool prepared = false;
    std::vector<std::unique_ptr<QTextLayout>> blocks;
    std::vector<Line> lines;
    QSize size;
};
