#include "project/vantorix_event.h"

#include "platform/ascii_case.h"

CVantorixEvent* FindEventIn(const ObjectList& events, const std::string& name) {
    for (const RecordRef& record : events) {
        auto* event = dynamic_cast<CVantorixEvent*>(record.get());
        if (event && EqualsIgnoringAsciiCase(event->eventName, name)) return event;
    }
    return nullptr;
}

std::string EventScriptIn(const ObjectList& events, const std::string& name) {
    const CVantorixEvent* event = FindEventIn(events, name);
    return event ? event->script : std::string();
}

void AddDefaultEvent(ObjectList& events, const std::string& name, const std::string& argumentDescription) {
    if (!FindEventIn(events, name)) {
        events.push_back(std::make_shared<CVantorixEvent>(name, argumentDescription));
    }
}
