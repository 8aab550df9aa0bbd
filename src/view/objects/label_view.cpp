#include "view/objects/label_view.h"

#include <QFontMetrics>
#include <QPainter>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "platform/code_page.h"
#include "project/event_names.h"
#include "project/vantorix_text_object.h"
#include "view/objects/object_host.h"
#include "view/objects/object_services.h"
#include "view/objects/text_layout.h"

CLabelView::CLabelView(CVantorixTextObject& label) : CTextBlockView(label), label(label) {}

const ObjectSounds* CLabelView::Sounds() const {
    return &label.sounds;
}

void CLabelView::LeavePage() {
    fontMade = false;
    measured = false;
}

void CLabelView::Paint(CDIBSMemDC& dc, const CObjectServices& services) {
    const CodePage& codePage = services.TextCodePage();
    if (!label.visible) return;
    std::int32_t color = StateColor(label.normalColor, label.highlightColor, label.pressedColor, label.disabledColor);
    if (!fontMade) {
        font = MakeFont(label.font, codePage);
        fontMade = true;
    }
    if (!measured || measuredText != label.text) {
        measuredSize = MeasureText(label.text, font, codePage, QPoint(0, 0)).size();
        measuredText = label.text;
        measured = true;
    }
    int width = measuredSize.width(), height = measuredSize.height();
    QPainter& painter = dc.Painter();
    painter.save();
    painter.setFont(font);
    painter.setPen(ColorOf(color));
    int align = label.alignment == 1 ? Qt::AlignHCenter : label.alignment == 2 ? Qt::AlignRight : Qt::AlignLeft;
    QString text = LinesOf(label.text, codePage).join('\n');
    int flags = align | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextDontClip;
    VxRect& r = label.rect;
    switch (label.angle) {
        case 0:
            r.right = r.left + width;
            r.bottom = r.top + height;
            painter.drawText(QRect(QPoint(r.left + 2, r.top), QPoint(r.right + 1, r.bottom - 1)), flags, text);
            break;
        case 90:  // reads bottom to top; the block turns about the rectangle's bottom-left
            r.bottom = r.top + width;
            r.right = r.left + height;
            painter.translate(r.left, r.bottom);
            painter.rotate(-90);
            painter.drawText(QRect(0, 0, width, height), flags, text);
            break;
        case 180:
            r.right = r.left + width;
            r.bottom = r.top + height;
            painter.translate(r.right, r.bottom);
            painter.rotate(180);
            painter.drawText(QRect(0, 0, width, height), flags, text);
            break;
        case 270:  // reads top to bottom
            // A line longer than the rectangle is high moves its top up first, keeping its bottom.
            for (const QString& line : LinesOf(label.text, codePage)) {
                int lineWidth = line.isEmpty() ? 0 : QFontMetrics(font).horizontalAdvance(line);
                if (lineWidth > r.bottom - r.top) r.top = r.bottom - lineWidth;
            }
            r.bottom = r.top + width;
            r.right = r.left + height;
            painter.translate(r.right, r.top);
            painter.rotate(90);
            painter.drawText(QRect(0, 0, width, height), flags, text);
            break;
        default:  // other angles draw nothing
            break;
    }
    painter.restore();
}

void CLabelView::Measure(const CObjectServices& services) {
    const CodePage& codePage = services.TextCodePage();
    if (!label.autoSize) return;
    VxRect& r = label.rect;
    QRect measured = MeasureText(label.text, MakeFont(label.font, codePage), codePage, QPoint(r.left, r.top));
    int width = measured.width(), height = measured.height();
    switch (label.angle) {
        case 90:
            r.top = r.bottom - width;
            r.right = r.left + height;
            break;
        case 270:
            r.bottom = r.top + width;
            r.right = r.left + height;
            break;
        default:
            r.right = r.left + width;
            r.bottom = r.top + height;
            break;
    }
}
