#include "view/objects/button_view.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "graphics/drawing/broken_link_painter.h"
#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "platform/code_page.h"
#include "project/event_names.h"
#include "project/vantorix_button_object.h"
#include "view/objects/object_host.h"
#include "view/objects/object_services.h"
#include "view/objects/text_layout.h"

CButtonView::CButtonView(CVantorixButtonObject& button) : CObjectView(button), button(button) {}

const ObjectSounds* CButtonView::Sounds() const {
    return &button.sounds;
}

DisplayState CButtonView::RestState() const {
    DisplayState rest = button.toggle && button.latched ? DisplayState::pressed : DisplayState::normal;
    return button.enabled ? rest : Disabled(rest);
}

DisplayState CButtonView::InitialDisplayState() const {
    return RestState();
}

void CButtonView::Load(const CObjectServices& services) {
    if (loaded || button.buttonFile.empty()) return;
    loaded = file.LoadButtonFile(services.FileHostPath(button.buttonFile));
}

void CButtonView::LeavePage() {
    file = CKXButton();
    loaded = false;
}

bool CButtonView::HitTest(QPoint point) {
    if (!CObjectView::HitTest(point)) return false;
    if (!loaded || file.HitThreshold() == -1) return true;
    int width = button.rect.right - button.rect.left, height = button.rect.bottom - button.rect.top;
    const CISImageEx* picture = file.GetStatePicture(static_cast<int>(button.displayState), width, height);
    if (!picture || picture->Depth() != 32) return true;
    auto x = static_cast<std::size_t>(point.x() - button.rect.left),
         y = static_cast<std::size_t>(point.y() - button.rect.top);
    if (x >= picture->Width() || y >= picture->Height()) return true;
    return picture->Pixels()[y * picture->RowBytes() + x * 4 + 3] > file.HitThreshold();
}

bool CButtonView::Ignores() {
    if (button.visible && button.enabled) return false;
    if (!button.visible) button.displayState = RestState();
    return true;
}

void CButtonView::Enter(CObjectHost& host) {
    if (Ignores()) return;
    host.SetObjectCursor(button.cursorKind);
    DisplayState& state = button.displayState;
    if (state == DisplayState::highlighted || state == DisplayState::pressedHighlighted ||
        (!button.toggle && state == DisplayState::pressed))
        return;
    state = button.toggle && button.latched ? DisplayState::pressedHighlighted : DisplayState::highlighted;
    PlaySound(host, true);
    host.RedrawRectNow(button.rect);
    RunEvent(host, button, VxEvent::onEnter, true);
}

void CButtonView::Leave(CObjectHost& host) {
    if (Ignores()) return;
    DisplayState rest = button.toggle && button.latched ? DisplayState::pressed : DisplayState::normal;
    if (button.displayState == rest) return;
    button.displayState = rest;
    host.SetObjectCursor(0);
    host.RedrawRectNow(button.rect);
    RunEvent(host, button, VxEvent::onLeave, false);
}

void CButtonView::Press(CObjectHost& host) {
    if (Ignores()) return;
    if (!button.toggle) {
        if (button.displayState == DisplayState::pressed) return;
        button.displayState = DisplayState::pressed;
    }
    PlaySound(host, false);
    host.RedrawRectNow(button.rect);
}

void CButtonView::Release(CObjectHost& host) {
    if (Ignores()) return;
    CVantorixButtonObject& record = button;
    if (record.toggle) {
        record.latched = !record.latched;
        record.displayState = record.latched ? DisplayState::pressedHighlighted : DisplayState::highlighted;
    } else {
        record.displayState = DisplayState::highlighted;
    }
    host.RedrawRectNow(record.rect);
    RunEvent(host, record, VxEvent::onClick, true);
    if (record.enabled) {
        record.displayState =
            record.toggle && record.latched ? DisplayState::pressedHighlighted : DisplayState::highlighted;
    }
}

void CButtonView::Paint(CDIBSMemDC& dc, const CObjectServices& services) {
    if (!button.visible) return;
    Load(services);
    if (!loaded) {
        CKXBrokenLinkPainter placeholder;
        placeholder.SetTarget(0, ToQRect(button.rect), button.buttonFile);
        placeholder.Paint(dc.Painter(), services.TextCodePage());
        return;
    }
    std::int32_t color = button.normalTextColor;
    switch (button.displayState) {
        case DisplayState::highlighted:
        case DisplayState::pressedHighlighted:
            color = button.highlightTextColor;
            break;
        case DisplayState::disabled:
        case DisplayState::pressedDisabled:
            color = button.disabledTextColor;
            break;
        case DisplayState::pressed:
            color = button.pressedTextColor;
            break;
        case DisplayState::normal:
            break;
    }
    // The button file keeps its pictures and caption offsets by the state's number.
    int state = static_cast<int>(button.displayState);
    int width = button.rect.right - button.rect.left, height = button.rect.bottom - button.rect.top;
    if (const CISImageEx* picture = file.GetStatePicture(state, width, height)) {
        DrawPicture(*picture, dc, button.rect.left, button.rect.top);
    }
    if (button.caption.empty()) return;
    QPainter& painter = dc.Painter();
    painter.save();
    QFont font = MakeFont(button.captionFont, services.TextCodePage());
    QString caption = QString::fromStdString(services.TextCodePage().ToUtf8(button.caption));
    QFontMetrics metrics(font);
    int cw = metrics.horizontalAdvance(caption), ch = metrics.height();
    int top = button.rect.top + static_cast<int>(height * (file.CenterY() + file.DeltaY(state)) * 0.01) - ch / 2 +
              button.captionYOffset;
    int left = button.rect.left;
    if (button.captionAlignment == 1) {
        left += static_cast<int>((file.CenterX() + file.DeltaX(state)) * 0.01 * width) - cw / 2;
    } else if (button.captionAlignment == 2) {
        left = button.rect.right - cw;
    }
    left += button.captionXOffset;
    painter.setClipRect(ToQRect(button.rect));
    painter.setFont(font);
    painter.setPen(ColorOf(color));
    painter.drawText(QRect(left, top, cw, ch), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextDontClip,
                     caption);
    painter.restore();
}
