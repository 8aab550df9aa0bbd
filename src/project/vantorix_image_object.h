#pragma once

#include "project/vantorix_base_object.h"

class CVantorixImageObject : public CVantorixBaseObject {
public:
    static constexpr ObjectKind kind = kindImage;
    CVantorixImageObject() : CVantorixBaseObject(kindImage) {}
    const char* ClassName() const override { return "CVantorixImageObject"; }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("image", [&] {
            v.Int("version", ownVersion);
            v.String("imageFile", imageFile);
            v.Int("useTransparentColor", useTransparentColor);
            v.Int("transparentColor", transparentColor);
            v.Int("tolerance", tolerance);
            v.Int("opacity", opacity);
            v.Int("alphaHitTest", alphaHitTest);
            v.Int("hoverSoundMode", sounds.hoverSoundMode);
            v.String("hoverSoundFile", sounds.hoverSoundFile);
            v.Int("clickSoundMode", sounds.clickSoundMode);
            v.String("clickSoundFile", sounds.clickSoundFile);
        });
    }

    std::int32_t ownVersion = 1;
    std::string imageFile;
    std::int32_t useTransparentColor = 0;
    std::int32_t transparentColor = 0xFFFFFF;
    std::int32_t tolerance = 10;
    std::int32_t opacity = 100;
    std::int32_t alphaHitTest = 0;
    ObjectSounds sounds;
};
