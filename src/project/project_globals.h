#pragma once

#include <string>

#include "project/serializable.h"

// The project's global script.
class CProjectGlobals : public CKXSerializable {
public:
    const char* ClassName() const override { return "CProjectGlobals"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("globalScript", globalScript);
    }

    std::uint32_t version = 1;
    std::string globalScript = "-- Enter global functions here...\r\n";
};
