#include "view/objects/object_view.h"

#include "graphics/drawing/paint_helpers.h"
#include "project/event_names.h"
#include "project/vantorix_base_object.h"
#include "view/objects/object_host.h"
#include "view/objects/object_services.h"

bool CObjectView::HitTest(QPoint point) {
    return object.visible && object.enabled && ToQRect(object.rect).contains(point);
}

bool CObjectView::Reacts() const {
    return object.visible;
}

void CObjectView::PlaySound(CObjectHost& host, bool hover) const {
    if (const ObjectSounds* sounds = Sounds()) host.Services().PlayObjectSound(*sounds, hover);
}

void CObjectView::Repaint(CObjectHost& host) const {
    if (DrawsStates()) host.RedrawRectNow(object.rect);
}

const char* CObjectView::EnterContext() const {
    return VxEvent::onEnter;
}

void CObjectView::RunEvent(CObjectHost& host, CVantorixBaseObject& object, const char* eventName, bool refreshAfter,
                           const char* contextName) {
    int visible = object.visible, enabled = object.enabled;
    host.Services().RunObjectEvent(object, eventName, contextName);
    if (refreshAfter && (visible != object.visible || enabled != object.enabled)) host.RefreshHover();
}

void CObjectView::Enter(CObjectHost& host) {
    if (!object.visible) {
        object.displayState = RestState();
        return;
    }
    if (!Reacts()) return;
    host.SetObjectCursor(object.cursorKind);
    if (object.displayState == DisplayState::highlighted || object.displayState == DisplayState::pressed) return;
    object.displayState = DisplayState::highlighted;
    PlaySound(host, true);
    Repaint(host);
    RunEvent(host, object, VxEvent::onEnter, true, EnterContext());
}

void CObjectView::Leave(CObjectHost& host) {
    if (!object.visible) {
        object.displayState = RestState();
        return;
    }
    if (!Reacts() || object.displayState == DisplayState::normal) return;
    host.SetObjectCursor(0);
    object.displayState = DisplayState::normal;
    Repaint(host);
    RunEvent(host, object, VxEvent::onLeave, false);
}

void CObjectView::Press(CObjectHost& host) {
    if (!object.visible) {
        object.displayState = RestState();
        return;
    }
    if (!Reacts() || object.displayState == DisplayState::pressed) return;
    object.displayState = DisplayState::pressed;
    PlaySound(host, false);
    Repaint(host);
}

void CObjectView::Release(CObjectHost& host) {
    CVantorixBaseObject& record = object;
    record.displayState = DisplayState::normal;
    if (!record.visible) return;
    RunEvent(host, record, VxEvent::onClick, true);
    record.displayState = DisplayState::highlighted;
}

std::int32_t CTextBlockView::StateColor(std::int32_t normal, std::int32_t highlight, std::int32_t pressed,
                                        std::int32_t disabled) const {
    switch (object.displayState) {
        case DisplayState::highlighted:
            return highlight;
        case DisplayState::disabled:
        case DisplayState::pressedDisabled:
            return disabled;
        case DisplayState::pressed:
        case DisplayState::pressedHighlighted:
            return pressed;
        case DisplayState::normal:
            break;
    }
    return normal;
}

DisplayState CTextBlockView::RestState() const {
    return object.enabled ? DisplayState::normal : DisplayState::disabled;
}

bool CTextBlockView::Reacts() const {
    return object.visible && object.enabled;
}

DisplayState CTextBlockView::InitialDisplayState() const {
    return RestState();
}

void CTextBlockView::Release(CObjectHost& host) {
    CVantorixBaseObject& record = object;
    if (!record.visible) {
        record.displayState = RestState();
        return;
    }
    if (!record.enabled) return;
    record.displayState = DisplayState::highlighted;
    Repaint(host);
    RunEvent(host, record, VxEvent::onClick, true);
    if (record.enabled) record.displayState = DisplayState::highlighted;
}
