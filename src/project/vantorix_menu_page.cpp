#include "project/vantorix_menu_page.h"

#include <algorithm>

#include "project/archive_reader.h"
#include "project/event_names.h"
#include "project/object_kinds.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_event.h"

CVantorixMenuPage::CVantorixMenuPage() {
    AddDefaultEvent(pageEvents, VxEvent::onShow);
    AddDefaultEvent(pageEvents, VxEvent::onClose);
    AddDefaultEvent(pageEvents, VxEvent::onAudio, "number e_Channel, string e_State");
    AddDefaultEvent(pageEvents, VxEvent::onPreload);
}

void CVantorixMenuPage::Serialize(CKXFieldVisitor& v) {
    v.Dword("version", version);
    v.String("pageName", pageName);
    v.Int("backgroundType", backgroundType);
    v.Int("pictureMode", pictureMode);
    v.String("backgroundPicture", backgroundPicture);
    v.Int("gradientBottomColor", gradientBottomColor);
    v.Int("backgroundColor", backgroundColor);
    v.String("transitionName", transitionName);
    v.String("transitionSettings", transitionSettings);
    v.Objects("pageEvents", pageEvents, "CVantorixEvent");
    v.Objects("pageObjects", pageObjects, nullptr);
}

void CVantorixMenuPage::ReadBody(CKXArchiveReader& reader) {
    CKXSerializable::ReadBody(reader);
    if (!reader.keepDiscardedObjects) RemoveDiscardedObjects();
}

void CVantorixMenuPage::RemoveDiscardedObjects() {
    // Null entries and records that are not page objects go with the kinds the player does not
    // show, so every later user of the list meets only real objects.
    std::erase_if(pageObjects, [](const RecordRef& record) {
        auto* object = dynamic_cast<const CVantorixBaseObject*>(record.get());
        return !object || !IsShownKind(object->typeCode);
    });
}

std::vector<std::shared_ptr<CVantorixBaseObject>> CVantorixMenuPage::Objects() const {
    std::vector<std::shared_ptr<CVantorixBaseObject>> objects;
    objects.reserve(pageObjects.size());
    for (const RecordRef& record : pageObjects) {
        // A page built in code may still hold other records; they are not objects of the page.
        if (auto object = std::dynamic_pointer_cast<CVantorixBaseObject>(record)) objects.push_back(std::move(object));
    }
    return objects;
}

std::string CVantorixMenuPage::GetEventScript(const std::string& eventName) const {
    return EventScriptIn(pageEvents, eventName);
}

std::string CVantorixMenuPage::GetPreludeScript(const std::string& eventName) const {
    const CVantorixEvent* event = FindEvent(eventName);
    return event ? event->preludeScript : std::string();
}

CVantorixEvent* CVantorixMenuPage::FindEvent(const std::string& eventName) const {
    return FindEventIn(pageEvents, eventName);
}
