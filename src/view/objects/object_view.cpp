#include "view/objects/object_view.h"

#include "engine/px_runtime_doc.h"
#include "project/event_names.h"
#include "project/vantorix_base_object.h"
#include "view/drawing/paint_helpers.h"
#include "view/objects/object_host.h"

bool CObjectView::HitTest(QPoint point) {
    return object.visible && object.enabled && ToQRect(object.rect).contains(point);
}

bool CObjectView::Reacts() const {
    return object.visible;
}

void CObjectView::PlaySound(CObjectHost& host, bool hover) const {
    if (const ObjectSounds* sounds = Sounds()) host.Document().PlayObjectSound(*sounds, hover);
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
    host.Document().RunObjectEvent(object, eventName, contextName);
    if (refreshAfter && (visible != object.visible || enabled != object.enabled)) host.RefreshHover();
}

void CObjectView::Enter(CObjectHost& host) {
    if (!object.visible) {
        object.displayState = RestState();
        return;
    }
    if (!Reacts()) return;
    host.SetObjectCursor(object.cursorKind);
    if (object.displayState == 1 || object.displayState == 3) return;
    object.displayState = 1;
    PlaySound(host, true);
    Repaint(host);
    RunEvent(host, object, VxEvent::onEnter, true, EnterContext());
}

void CObjectView::Leave(CObjectHost& host) {
    if (!object.visible) {
        object.displayState = RestState();
        return;
    }
    if (!Reacts() || object.displayState == 0) return;
    host.SetObjectCursor(0);
    object.displayState = 0;
    Repaint(host);
    RunEvent(host, object, VxEvent::onLeave, false);
}

void CObjectView::Press(CObjectHost& host) {
    if (!object.visible) {
        object.displayState = RestState();
        return;
    }
    if (!Reacts() || object.displayState == 3) return;
    object.displayState = 3;
    PlaySound(host, false);
    Repaint(host);
}

void CObjectView::Release(CObjectHost& host) {
    CVantorixBaseObject& record = object;
    record.displayState = 0;
    if (!record.visible) return;
    RunEvent(host, record, VxEvent::onClick, true);
    record.displayState = 1;
}

std::int32_t CTextBlockView::StateColor(std::int32_t normal, std::int32_t highlight, std::int32_t pressed,
                                        std::int32_t disabled) const {
    int state = object.displayState;
    if (state == 1) return highlight;
    if (state == 2 || state == 5) return disabled;
    if (state == 3 || state == 4) return pressed;
    return normal;
}

int CTextBlockView::RestState() const {
    return object.enabled ? 0 : 2;
}

bool CTextBlockView::Reacts() const {
    return object.visible && object.enabled;
}

int CTextBlockView::InitialDisplayState() const {
    return object.enabled ? 0 : 2;
}

void CTextBlockView::Release(CObjectHost& host) {
    CVantorixBaseObject& record = object;
    if (!record.visible) {
        record.displayState = RestState();
        return;
    }
    if (!record.enabled) return;
    record.displayState = 1;
    Repaint(host);
    RunEvent(host, record, VxEvent::onClick, true);
    if (record.enabled) record.displayState = 1;
}
