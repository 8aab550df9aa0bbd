#pragma once

#include "project/kx_font.h"
#include "project/vantorix_base_object.h"

// When a paragraph shows a scroll bar. A horizontal bar that never shows lets the text wrap.
enum class BarMode { whenNeeded = 0, always = 1, never = 2 };

class CVantorixParagraphObject : public CVantorixBaseObject {
public:
    static constexpr ObjectKind kind = kindParagraph;
    CVantorixParagraphObject() : CVantorixBaseObject(kindParagraph), font(-13) {}
    const char* ClassName() const override { return "CVantorixParagraphObject"; }
    void ForEachFont(const std::function<void(const CKXFont&)>& visit) const override { visit(font); }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("paragraph", [&] {
            v.Int("version", ownVersion);
            v.String("text", text);
            v.Int("normalColor", normalColor);
            v.Int("highlightColor", highlightColor);
            v.Int("pressedColor", pressedColor);
            v.Int("disabledColor", disabledColor);
            v.Int("borderColor", borderColor);
            v.Int("backgroundColor", backgroundColor);
            v.Member("font", font);
            v.Int("alignment", alignment);
            v.Int("transparent", transparent);
            v.Int("verticalBarMode", verticalBarMode);
            v.Int("horizontalBarMode", horizontalBarMode);
            v.Int("useBarSkin", useBarSkin);
            v.String("barSkinName", barSkinName);
            v.Int("border", border);
            v.String("hoverSoundFile", sounds.hoverSoundFile);
            v.Int("hoverSoundMode", sounds.hoverSoundMode);
            v.String("clickSoundFile", sounds.clickSoundFile);
            v.Int("clickSoundMode", sounds.clickSoundMode);
        });
    }

    // The stored modes (0, 1, 2); any other number shows the bar when it is needed.
    static BarMode BarModeOf(std::int32_t stored) {
        return stored == 1 ? BarMode::always : stored == 2 ? BarMode::never : BarMode::whenNeeded;
    }
    BarMode VerticalBar() const { return BarModeOf(verticalBarMode); }
    BarMode HorizontalBar() const { return BarModeOf(horizontalBarMode); }

    std::int32_t ownVersion = 1;
    std::string text;
    std::int32_t normalColor = 0;
    std::int32_t highlightColor = 0;
    std::int32_t pressedColor = 0;
    std::int32_t disabledColor = 0xC0C0C0;
    std::int32_t borderColor = 0;
    std::int32_t backgroundColor = 0xFFFFFF;
    CKXFont font;
    std::int32_t alignment = 0;
    std::int32_t transparent = 1;
    std::int32_t verticalBarMode = 0;
    std::int32_t horizontalBarMode = 2;
    std::int32_t useBarSkin = 0;
    std::string barSkinName;
    std::int32_t border = 0;
    ObjectSounds sounds;
};
