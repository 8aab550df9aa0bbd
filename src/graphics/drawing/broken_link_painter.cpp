#include "graphics/drawing/broken_link_painter.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/code_page.h"

namespace {

// The button face colour of the Windows version the player reports.
const QColor buttonFace(0xEC, 0xE9, 0xD8);

// Icons of the strip, in order: button, picture, film strip, Flash content. Drawn in 24 x 24.
void DrawIcon(QPainter& painter, int index, const QRect& box) {
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / 24.0, box.height() / 24.0);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case 0:  // a raised button
            painter.setPen(QColor(90, 90, 90));
            painter.setBrush(QColor(200, 200, 210));
            painter.drawRoundedRect(QRectF(2, 6, 20, 12), 3, 3);
            painter.setPen(Qt::white);
            painter.drawLine(QPointF(4, 8), QPointF(20, 8));
            break;
        case 1:  // a picture: frame, sun and hills
            painter.setPen(QColor(80, 80, 80));
            painter.setBrush(QColor(170, 210, 255));
            painter.drawRect(QRectF(2, 3, 20, 18));
            painter.setBrush(QColor(255, 210, 0));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QRectF(14, 6, 5, 5));
            painter.setBrush(QColor(40, 150, 60));
            painter.drawPolygon(QPolygonF({QPointF(3, 20), QPointF(10, 11), QPointF(16, 20)}));
            break;
        case 2:  // a film strip
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(40, 40, 40));
            painter.drawRect(QRectF(4, 1, 16, 22));
            painter.setBrush(Qt::white);
            for (int y = 3; y < 22; y += 4) {
                painter.drawRect(QRectF(5, y, 2, 2));
                painter.drawRect(QRectF(17, y, 2, 2));
            }
            painter.setBrush(QColor(120, 170, 230));
            painter.drawRect(QRectF(8, 4, 8, 7));
            painter.drawRect(QRectF(8, 13, 8, 7));
            break;
        default: {  // Flash content: a red square with a white curve
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(200, 30, 30));
            painter.drawRoundedRect(QRectF(2, 2, 20, 20), 4, 4);
            QPainterPath curve;
            curve.moveTo(7, 18);
            curve.cubicTo(12, 18, 11, 6, 17, 6);
            painter.setPen(QPen(Qt::white, 2.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(curve);
            break;
        }
    }
    painter.restore();
}

}  // namespace

void CKXBrokenLinkPainter::SetTarget(int type, const QRect& target, const std::string& name, int reason) {
    if (target.isNull()) return;
    typeCode = type;
    rect = target;
    const char* label = "Image Object";
    std::string format = "%s: %s\n\nUnable to display object: File can not be loaded.";
    iconIndex = 1;
    switch (type) {
        case 0:
            label = "Button Object";
            format = "%s: %s\n\nError loading .btn file.";
            iconIndex = 0;
            break;
        case 4:
        case 5:
            label = type == 4 ? "Flash Object" : "Video Object";
            format = reason == 1
                         ? "%s: %s\n\nUnable to display object: File can not be located."
                         : std::string("%s: %s\n\nUnable to display object: ") +
                               (type == 4 ? "Macromedia Flash Player" : "Windows Media Player") + " is not installed.";
            iconIndex = type == 4 ? 3 : 2;
            break;
        default:
            break;
    }
    text = format;
    text.replace(text.find("%s"), 2, label);
    text.replace(text.find("%s"), 2, name);
}

void CKXBrokenLinkPainter::Paint(QPainter& painter, const CodePage& codePage) const {
    painter.save();
    painter.setPen(buttonFace);
    painter.setBrush(Qt::white);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    QRect inner = rect.adjusted(4, 4, -4, -4);
    int side = std::min({24, inner.width(), inner.height()});
    if (side > 0) DrawIcon(painter, iconIndex, QRect(inner.topLeft(), QSize(side, side)));
    QRect textBox(QPoint(rect.left() + 32, rect.top() + 2), inner.bottomRight());
    painter.setPen(Qt::black);
    painter.setFont(QFont("Liberation Sans", 8));
    painter.drawText(textBox, Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(codePage.ToUtf8(text)));
    painter.restore();
}
