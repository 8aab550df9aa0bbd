#pragma once

#include <string>

#include "project/serializable.h"

// A font description, stored in place inside labels, paragraphs and buttons.
class CKXFont : public CKXSerializable {
public:
    CKXFont() = default;
    explicit CKXFont(std::int32_t height) : height(height) {}
    const char* ClassName() const override { return "CKXFont"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Int("version", version);
        v.Int("height", height);
        v.Int("weight", weight);
        v.Byte("italic", italic);
        v.Byte("underline", underline);
        v.Byte("strikeout", strikeout);
        v.Byte("charSet", charSet);
        v.String("faceName", faceName);
        v.Int("smoothing", smoothing);
    }

    std::int32_t version = 1;
    std::int32_t height = -16;
    std::int32_t weight = 400;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeout = 0;
    std::uint8_t charSet = 0;
    std::string faceName = "Arial";
    std::int32_t smoothing = 1;
    std::int32_t escapement = 0;  // set by the owner before each font creation; not stored
};
