#include "project/vantorix_base_object.h"

#include "project/vantorix_event.h"

void CVantorixBaseObject::Serialize(CKXFieldVisitor& v) {
    v.Dword("version", version);
    v.Int("typeCode", typeCode);
    v.String("objectName", objectName);
    v.Rect("rect", rect);
    v.String("tooltipText", tooltipText);
    v.Int("cursorKind", cursorKind);
    v.Int("unused7", unused7);
    v.Int("visible", visible);
    v.Int("unused9", unused9);
    v.Int("enabled", enabled);
    v.Int("unused11", unused11);
    v.Int("unused12", unused12);
    v.Int("unused13", unused13);
    v.Int("unused14", unused14);
    v.Objects("objectEvents", objectEvents, "CVantorixEvent");
}

std::string CVantorixBaseObject::GetEventScript(const std::string& eventName) const {
    return EventScriptIn(objectEvents, eventName);
}
