#pragma once

#include "project/kx_font.h"
#include "project/vantorix_base_object.h"

class CVantorixButtonObject : public CVantorixBaseObject {
public:
    static constexpr ObjectKind kind = kindButton;
    CVantorixButtonObject() : CVantorixBaseObject(kindButton) {
        cursorKind = 1;  // hand
        sounds.hoverSoundMode = 1;
        sounds.clickSoundMode = 1;
    }
    const char* ClassName() const override { return "CVantorixButtonObject"; }
    void ForEachFont(const std::function<void(const CKXFont&)>& visit) const override { visit(captionFont); }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("button", [&] {
            v.Int("version", ownVersion);
            v.String("buttonFile", buttonFile);
            v.Int("toggle", toggle);
            v.Int("latched", latched);
            v.String("caption", caption);
            v.Int("captionAlignment", captionAlignment);
            v.Int("normalTextColor", normalTextColor);
            v.Int("pressedTextColor", pressedTextColor);
            v.Int("highlightTextColor", highlightTextColor);
            v.Int("disabledTextColor", disabledTextColor);
            v.Member("captionFont", captionFont);
            v.Int("captionXOffset", captionXOffset);
            v.Int("captionYOffset", captionYOffset);
            v.Int("hoverSoundMode", sounds.hoverSoundMode);
            v.String("hoverSoundFile", sounds.hoverSoundFile);
            v.Int("clickSoundMode", sounds.clickSoundMode);
            v.String("clickSoundFile", sounds.clickSoundFile);
        });
    }

    std::int32_t ownVersion = 1;
    std::string buttonFile;
    std::int32_t toggle = 0;
    std::int32_t latched = 0;
    std::string caption;
    std::int32_t captionAlignment = 1;
    std::int32_t normalTextColor = 0xFFFFFF;
    std::int32_t pressedTextColor = 0xFFFFFF;
    std::int32_t highlightTextColor = 0xFFFFFF;
    std::int32_t disabledTextColor = 0xC0C0C0;
    CKXFont captionFont;
    std::int32_t captionXOffset = 0;
    std::int32_t captionYOffset = 0;
    ObjectSounds sounds;
};
