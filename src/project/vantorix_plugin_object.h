#pragma once

#include "project/vantorix_base_object.h"

// A plugin object: read whole so the rest of its page reads correctly, then dropped by the page.
class CVantorixPluginObject : public CVantorixBaseObject {
public:
    CVantorixPluginObject() : CVantorixBaseObject(kindPlugin) {}
    const char* ClassName() const override { return "CVantorixPluginObject"; }
    void Serialize(CKXFieldVisitor& v) override {
        CVantorixBaseObject::Serialize(v);
        v.Nested("plugin", [&] {
            v.Int("version", ownVersion);
            v.String("pluginFile", pluginFile);
            v.String("pluginData", pluginData);
            v.Int("hoverSoundMode", sounds.hoverSoundMode);
            v.String("hoverSoundFile", sounds.hoverSoundFile);
            v.Int("clickSoundMode", sounds.clickSoundMode);
            v.String("clickSoundFile", sounds.clickSoundFile);
        });
    }

    std::int32_t ownVersion = 1;
    std::string pluginFile;
    std::string pluginData;
    ObjectSounds sounds;
};
