#pragma once

#include "project/vantorix_base_object.h"

class CKXVideoPlayer;

class CVantorixVideoObject : public CVantorixBaseObject {
public:
    // The system's button face and button text colours on the configured Windows version.
    static constexpr std::int32_t buttonFaceColor = 0xD8E9EC;
    static constexpr std::int32_t buttonTextColor = 0x000000;

    CVantorixVideoObject() : CVantorixBaseObject(kindVideo) {}
    const char* ClassName() const override { return "CVantorixVideoObject"; }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("video", [&] {
            v.Int("version", ownVersion);
            v.String("file", file);
            v.Int("playOnShow", playOnShow);
            v.Int("hoverSoundMode", sounds.hoverSoundMode);
            v.String("hoverSoundFile", sounds.hoverSoundFile);
            v.Int("clickSoundMode", sounds.clickSoundMode);
            v.String("clickSoundFile", sounds.clickSoundFile);
            v.Int("loop", loop);
            v.Int("controllerStyle", controllerStyle);
            v.String("skinName", skinName);
            v.Int("keepAspect", keepAspect);
            v.Int("showButtons", showButtons);
            v.Int("showSlider", showSlider);
            v.Int("timeDisplay", timeDisplay);
            v.Int("videoBackColor", videoBackColor);
            v.Int("barBackColor", barBackColor);
            v.Int("barTextColor", barTextColor);
            v.Int("border", border);
        });
    }

    std::int32_t ownVersion = 1;
    std::string file;
    std::int32_t playOnShow = 1;
    ObjectSounds sounds;
    std::int32_t loop = 0;
    std::int32_t controllerStyle = 1;
    std::string skinName;
    std::int32_t keepAspect = 1;
    std::int32_t showButtons = 1;
    std::int32_t showSlider = 1;
    std::int32_t timeDisplay = 1;
    std::int32_t videoBackColor = 0;
    std::int32_t barBackColor = buttonFaceColor;
    std::int32_t barTextColor = buttonTextColor;
    std::int32_t border = 0;

    // The identifier of its player window while the page shows, else -1.
    int windowId = -1;
    // The player window while the object's page shows (owned by the object's view), else null.
    CKXVideoPlayer* player = nullptr;
};
