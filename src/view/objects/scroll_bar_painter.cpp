#include "view/objects/scroll_bar_painter.h"

#include <QPainter>

#include "graphics/drawing/paint_helpers.h"
#include "platform/system_colors.h"

namespace {

QColor Face() {
    return ColorOf(SystemColor::buttonFace);
}

// The two bevels of a raised box: outer face / dark shadow, inner highlight / shadow.
void Raised(QPainter& painter, const QRect& box) {
    painter.fillRect(box, Face());
    auto frame = [&](const QRect& r, QColor topLeft, QColor bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    frame(box, Face(), ColorOf(SystemColor::darkShadow));
    if (box.width() > 2 && box.height() > 2) {
        frame(box.adjusted(1, 1, -1, -1), ColorOf(SystemColor::buttonHighlight), ColorOf(SystemColor::buttonShadow));
    }
}

// A black triangle of four lines of 1, 3, 5 and 7 pixels, pointing as the arrow does, centred.
void Triangle(QPainter& painter, const QRect& box, CScrollBarPainter::Arrow arrow, int shift) {
    painter.setPen(ColorOf(SystemColor::buttonText));
    QPoint centre = box.center() + QPoint(shift, shift);
    for (int i = 0; i < 4; ++i) {
        switch (arrow) {
            case CScrollBarPainter::Up:
                painter.drawLine(centre.x() - i, centre.y() - 2 + i, centre.x() + i, centre.y() - 2 + i);
                break;
            case CScrollBarPainter::Down:
                painter.drawLine(centre.x() - i, centre.y() + 1 - i, centre.x() + i, centre.y() + 1 - i);
                break;
            case CScrollBarPainter::Left:
                painter.drawLine(centre.x() - 2 + i, centre.y() - i, centre.x() - 2 + i, centre.y() + i);
                break;
            case CScrollBarPainter::Right:
                painter.drawLine(centre.x() + 1 - i, centre.y() - i, centre.x() + 1 - i, centre.y() + i);
                break;
        }
    }
}

// A tile repeated every barWidth pixels along the bar, clipped to it.
void Repeat(QPainter& painter, const QImage& tile, const QRect& bar, bool vertical, int barWidth) {
    if (barWidth <= 0) return;
    painter.save();
    painter.setClipRect(bar, Qt::IntersectClip);
    int end = vertical ? bar.bottom() + 1 : bar.right() + 1;
    for (int at = vertical ? bar.top() : bar.left(); at < end; at += barWidth) {
        painter.drawImage(vertical ? QPoint(bar.left(), at) : QPoint(at, bar.top()), tile);
    }
    painter.restore();
}

}  // namespace

void CScrollBarPainter::Track(QPainter& painter, const QRect& bar, bool vertical, int barWidth) const {
    if (Skinned()) {
        Repeat(painter, skin[vertical ? tileVerticalTrack : tileHorizontalTrack], bar, vertical, barWidth);
        return;
    }
    // A 2 x 2 checker of button face and highlight.
    static const QImage checker = [] {
        QImage image(2, 2, QImage::Format_RGB32);
        image.setPixelColor(0, 0, Face());
        image.setPixelColor(1, 1, Face());
        image.setPixelColor(1, 0, ColorOf(SystemColor::buttonHighlight));
        image.setPixelColor(0, 1, ColorOf(SystemColor::buttonHighlight));
        return image;
    }();
    painter.save();
    painter.setBrushOrigin(0, 0);
    painter.fillRect(bar, QBrush(checker));
    painter.restore();
}

void CScrollBarPainter::ArrowBox(QPainter& painter, const QRect& box, Arrow arrow, bool pressed) const {
    if (Skinned()) {
        painter.drawImage(box.topLeft(), skin[tileUp + 2 * arrow + (pressed ? 1 : 0)]);
        return;
    }
    painter.save();
    if (pressed) {
        painter.fillRect(box, Face());
        painter.setPen(ColorOf(SystemColor::buttonShadow));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    } else {
        Raised(painter, box);
    }
    Triangle(painter, box, arrow, pressed ? 1 : 0);
    painter.restore();
}

void CScrollBarPainter::Thumb(QPainter& painter, const QRect& thumb, bool vertical, int barWidth) const {
    if (!Skinned()) {
        painter.save();
        Raised(painter, thumb);
        painter.restore();
        return;
    }
    int length = vertical ? thumb.height() : thumb.width();
    if (length <= barWidth) {
        painter.drawImage(thumb.topLeft(), skin[vertical ? tileVerticalThumbShort : tileHorizontalThumbShort]);
        return;
    }
    Repeat(painter, skin[vertical ? tileVerticalThumbMiddle : tileHorizontalThumbMiddle], thumb, vertical, barWidth);
    painter.drawImage(thumb.topLeft(), skin[vertical ? tileVerticalThumbTop : tileHorizontalThumbLeft]);
    QPoint last = vertical ? QPoint(thumb.left(), thumb.bottom() + 1 - barWidth)
                           : QPoint(thumb.right() + 1 - barWidth, thumb.top());
    painter.drawImage(last, skin[vertical ? tileVerticalThumbBottom : tileHorizontalThumbRight]);
}

void CScrollBarPainter::Corner(QPainter& painter, const QRect& box) const {
    if (Skinned()) {
        painter.drawImage(box.topLeft(), skin[tileCorner]);
    } else {
        painter.fillRect(box, Face());
    }
}
