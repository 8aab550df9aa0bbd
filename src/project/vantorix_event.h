#pragma once

#include <string>

#include "project/serializable.h"

// An event name paired with the script run for it.
class CVantorixEvent : public CKXSerializable {
public:
    CVantorixEvent() = default;
    CVantorixEvent(std::string name, std::string argumentDescription = {})
        : eventName(std::move(name)), argumentDescription(std::move(argumentDescription)) {}
    const char* ClassName() const override { return "CVantorixEvent"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("eventName", eventName);
        v.String("script", script);
        v.String("preludeScript", preludeScript);
    }

    std::uint32_t version = 1;
    std::string eventName;
    std::string script;
    std::string preludeScript;
    std::string argumentDescription;  // not stored
};

// The short event record; lookups by name never match it.
class CVantorixSimpleEvent : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixSimpleEvent"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("eventName", eventName);
        v.String("script", script);
    }

    std::uint32_t version = 1;
    std::string eventName;
    std::string script;
    std::string description;  // not stored
};

// Event lookups of projects, pages and objects: the first CVantorixEvent whose name matches
// ignoring case. Null entries and records of other classes are passed over.
CVantorixEvent* FindEventIn(const ObjectList& events, const std::string& name);
std::string EventScriptIn(const ObjectList& events, const std::string& name);
// Adds an event with an empty script unless one of that name is present.
void AddDefaultEvent(ObjectList& events, const std::string& name, const std::string& argumentDescription = {});
