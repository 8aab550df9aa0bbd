#pragma once

#include <functional>
#include <memory>
#include <string>

#include "project/display_state.h"
#include "project/serializable.h"

class CKXFont;

// Object kind codes, the common typeCode; what else each kind is lies in project/object_kinds.h.
enum ObjectKind : std::int32_t {
    kindButton = 0,
    kindLabel = 1,
    kindParagraph = 2,
    kindImage = 3,
    kindFlash = 4,
    kindVideo = 5,
    kindWeb = 6,
    kindInput = 7,
    kindHotspot = 8,
    kindListBox = 9,
    kindPlugin = 40,
};

// The part every page object shares; each kind's own fields follow it in the stream.
class CVantorixBaseObject : public CKXSerializable {
public:
    explicit CVantorixBaseObject(std::int32_t typeCode = kindButton) : typeCode(typeCode) {}
    const char* ClassName() const override { return "CVantorixBaseObject"; }
    void Serialize(CKXFieldVisitor& v) override;

    std::string GetEventScript(const std::string& eventName) const;
    // Each font the object's texts are drawn with.
    virtual void ForEachFont(const std::function<void(const CKXFont&)>&) const {}
    // Objects never run a prelude script.
    std::string GetPreludeScript(const std::string&) const { return {}; }

    std::uint32_t version = 1;
    std::int32_t typeCode;
    std::string objectName = "Object1";
    VxRect rect{0, 0, 200, 150};
    std::string tooltipText;
    std::int32_t cursorKind = 0;
    std::int32_t unused7 = 1;  // the unnamed common numbers are kept as stored
    std::int32_t visible = 1;
    std::int32_t unused9 = 0;
    std::int32_t enabled = 1;
    std::int32_t unused11 = 0;
    std::int32_t unused12 = 0;
    std::int32_t unused13 = 0;
    std::int32_t unused14 = -1;
    ObjectList objectEvents;

    // Run time, not stored.
    DisplayState displayState = DisplayState::normal;
    int tooltipId = -1;
    double drawValueA = -1.0;
    double drawValueB = -1.0;
    std::unique_ptr<CKXRuntimeState> runtime;
};

// The sounds an object plays on entering and clicking: 0 none, 1 the project default, 2 a file.
struct ObjectSounds {
    std::int32_t hoverSoundMode = 0;
    std::string hoverSoundFile;
    std::int32_t clickSoundMode = 0;
    std::string clickSoundFile;
};
