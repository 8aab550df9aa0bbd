#pragma once

#include "project/vantorix_base_object.h"

class CKXFlashControl;

class CVantorixFlashObject : public CVantorixBaseObject {
public:
    CVantorixFlashObject() : CVantorixBaseObject(kindFlash) {}
    const char* ClassName() const override { return "CVantorixFlashObject"; }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("flash", [&] {
            v.Int("version", ownVersion);
            v.String("file", file);
            v.Int("playOnShow", playOnShow);
            v.Int("loop", loop);
            v.Int("showMenu", showMenu);
            v.Int("deviceFont", deviceFont);
            v.Int("customBackground", customBackground);
            v.Int("backgroundColor", backgroundColor);
            v.Int("alignment", alignment);
            v.Int("quality", quality);
            v.Int("scaleMode", scaleMode);
            v.Int("reservedA", reservedA);
            v.Int("reservedB", reservedB);
            v.String("reservedText", reservedText);
        });
    }

    std::int32_t ownVersion = 1;
    std::string file;
    std::int32_t playOnShow = 1;
    std::int32_t loop = 1;
    std::int32_t showMenu = 1;
    std::int32_t deviceFont = 0;
    std::int32_t customBackground = 0;
    std::int32_t backgroundColor = 0xFFFFFF;
    std::int32_t alignment = 0;
    std::int32_t quality = 3;
    std::int32_t scaleMode = 0;
    std::int32_t reservedA = 0;
    std::int32_t reservedB = 1;
    std::string reservedText;

    // The identifier of its control's window while the page shows, else -1.
    int windowId = -1;
    // The control while the object's page shows (owned by the object's view), else null.
    CKXFlashControl* control = nullptr;
};
