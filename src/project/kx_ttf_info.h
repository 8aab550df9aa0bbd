#pragma once

#include <string>
#include <vector>

#include "project/serializable.h"

// One embedded TrueType font of the font entry.
class CKXTTFInfo : public CKXSerializable {
public:
    const char* ClassName() const override { return "CKXTTFInfo"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Int("unusedNumber", unusedNumber);
        v.Byte("unusedByte", unusedByte);
        v.Byte("charSet", charSet);
        v.String("faceName", faceName);
        v.ByteArray("fontData", fontData);
    }

    std::int32_t unusedNumber = 0;
    std::uint8_t unusedByte = 0;
    std::uint8_t charSet = 0;
    std::string faceName;
    std::vector<std::uint8_t> fontData;
    std::string installedBase;  // run time: where the font was installed, empty if not
};
