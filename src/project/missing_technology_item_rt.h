#pragma once

#include <string>

#include "project/serializable.h"

// A technology requirement record of the format; no stream the player reads holds one.
class CMissingTechnologyItemRT : public CKXSerializable {
public:
    const char* ClassName() const override { return "CMissingTechnologyItemRT"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("displayName", displayName);
        v.String("secondText", secondText);
        v.String("detectionFunction", detectionFunction);
        v.String("pictureEntry", pictureEntry);
        v.String("requiredVersion", requiredVersion);
        v.String("text6", text6);
        v.String("text7", text7);
        v.String("scriptVariable", scriptVariable);
        v.Int("flag", flag);
    }

    std::uint32_t version = 1;
    std::string displayName, secondText, detectionFunction, pictureEntry, requiredVersion;
    std::string text6, text7, scriptVariable;
    std::int32_t flag = 0;
};
