#pragma once

#include "project/kx_font.h"
#include "project/vantorix_base_object.h"

// The label object.
class CVantorixTextObject : public CVantorixBaseObject {
public:
    static constexpr ObjectKind kind = kindLabel;
    CVantorixTextObject() : CVantorixBaseObject(kindLabel), font(-21) {}
    const char* ClassName() const override { return "CVantorixTextObject"; }
    void ForEachFont(const std::function<void(const CKXFont&)>& visit) const override { visit(font); }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("label", [&] {
            v.Int("version", ownVersion);
            v.String("text", text);
            v.Int("normalColor", normalColor);
            v.Int("highlightColor", highlightColor);
            v.Int("pressedColor", pressedColor);
            v.Int("disabledColor", disabledColor);
            v.Member("font", font);
            v.Int("alignment", alignment);
            v.Int("angle", angle);
            v.Int("autoSize", autoSize);
            v.String("hoverSoundFile", sounds.hoverSoundFile);
            v.Int("hoverSoundMode", sounds.hoverSoundMode);
            v.String("clickSoundFile", sounds.clickSoundFile);
            v.Int("clickSoundMode", sounds.clickSoundMode);
        });
    }

    std::int32_t ownVersion = 1;
    std::string text;
    std::int32_t normalColor = 0;
    std::int32_t highlightColor = 0;
    std::int32_t pressedColor = 0;
    std::int32_t disabledColor = 0xC0C0C0;
    CKXFont font;
    std::int32_t alignment = 0;
    std::int32_t angle = 0;
    std::int32_t autoSize = 1;
    ObjectSounds sounds;
};
