#pragma once

#include <string>

#include "project/serializable.h"

// The intro settings block of the project info, stored in place. The stream keeps its own
// order of the settings, which Serialize follows.
class CIntroVideoSettings : public CKXSerializable {
public:
    const char* ClassName() const override { return "CIntroVideoSettings"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Int("skipOnInput", skipOnInput);
        v.Int("customWidth", customWidth);
        v.Int("customHeight", customHeight);
        v.Int("windowWidth", windowWidth);
        v.Int("windowHeight", windowHeight);
        v.Int("backColor", backColor);
        v.Int("sizeMode", sizeMode);
        v.Int("windowMode", windowMode);
        v.String("file", file);
        v.Int("enabled", enabled);
        v.Int("mediaKind", mediaKind);
        v.Int("border", border);
        v.Int("caption", caption);
        v.String("title", title);
    }

    std::int32_t customHeight = 600;
    std::int32_t customWidth = 480;
    std::int32_t windowHeight = 600;
    std::int32_t windowWidth = 480;
    std::int32_t backColor = 0xFFFFFF;
    std::int32_t skipOnInput = 1;
    std::int32_t windowMode = 0;
    std::int32_t sizeMode = 1;
    std::string file;
    std::int32_t enabled = 0;
    std::int32_t mediaKind = 0;
    std::int32_t border = 0;
    std::int32_t caption = 0;
    std::string title;
};
