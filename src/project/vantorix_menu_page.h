#pragma once

#include <memory>
#include <string>

#include "project/serializable.h"

class CVantorixEvent;

// One page of the project: background, transition, events and objects.
class CVantorixMenuPage : public CKXSerializable {
public:
    CVantorixMenuPage();
    const char* ClassName() const override { return "CVantorixMenuPage"; }
    void Serialize(CKXFieldVisitor& v) override;
    // Reads the page, then drops every entry of pageObjects that the player does not show.
    void ReadBody(CKXArchiveReader& reader) override;
    void RemoveDiscardedObjects();

    std::string GetEventScript(const std::string& eventName) const;
    std::string GetPreludeScript(const std::string& eventName) const;
    CVantorixEvent* FindEvent(const std::string& eventName) const;

    std::uint32_t version = 1;
    std::string pageName;
    std::int32_t backgroundType = 0;
    std::int32_t pictureMode = 0;
    std::string backgroundPicture;
    std::int32_t gradientBottomColor = 0xFF0000;
    std::int32_t backgroundColor = 0xFFFFFF;
    std::string transitionName;
    std::string transitionSettings;
    ObjectList pageEvents;
    ObjectList pageObjects;
    std::unique_ptr<CKXRuntimeState> runtime;  // the loaded background picture
};
