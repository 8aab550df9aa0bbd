#pragma once

#include <memory>
#include <string>
#include <vector>

#include "project/serializable.h"

class CVantorixBaseObject;
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
    // The page's objects, in drawing order. Reading a page keeps only real objects in
    // pageObjects, so the list is seen here as what it holds; the copy keeps each one alive while
    // scripts run.
    std::vector<std::shared_ptr<CVantorixBaseObject>> Objects() const;

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
