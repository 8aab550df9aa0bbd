#pragma once

// Hand-made stream bytes for the reader tests.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct StreamBytes {
    std::vector<std::uint8_t> bytes;

    StreamBytes& Byte(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    StreamBytes& Word(std::uint16_t v) { return Byte(v & 0xFF).Byte(v >> 8); }
    StreamBytes& Dword(std::uint32_t v) { return Word(v & 0xFFFF).Word(v >> 16); }
    StreamBytes& Int(std::int32_t v) { return Dword(static_cast<std::uint32_t>(v)); }
    StreamBytes& Raw(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    StreamBytes& Str(const std::string& text) { return Byte(static_cast<std::uint8_t>(text.size())).Raw(text); }
    StreamBytes& NewClass(const std::string& name, std::uint16_t schema = 1) {
        return Word(0xFFFF).Word(schema).Word(static_cast<std::uint16_t>(name.size())).Raw(name);
    }
    // An event body: version, name, script, prelude.
    StreamBytes& EventBody(const std::string& name, const std::string& script = "") {
        return Dword(1).Str(name).Str(script).Str("");
    }
};
