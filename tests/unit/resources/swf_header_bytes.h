#pragma once

// The first bytes of a Flash movie, made to measure: header, frame rectangle, rate and count.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct SwfHeaderSpec {
    std::string signature = "FWS";
    int version = 6;
    int bits = 16;  // the rectangle's field width
    int xMin = 0, xMax = 11000, yMin = 0, yMax = 8000;
    int rateTimes256 = 12 << 8;
    int frameCount = 1;
    std::int64_t declaredLength = -1;  // -1: the real length
};

inline std::vector<std::uint8_t> SwfBody(const SwfHeaderSpec& spec) {
    std::vector<std::uint8_t> body;
    std::uint32_t accumulator = 0;
    int held = 0;
    auto put = [&](std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            accumulator = accumulator << 1 | ((value >> i) & 1u);
            if (++held == 8) {
                body.push_back(static_cast<std::uint8_t>(accumulator));
                accumulator = 0;
                held = 0;
            }
        }
    };
    put(static_cast<std::uint32_t>(spec.bits), 5);
    for (int value : {spec.xMin, spec.xMax, spec.yMin, spec.yMax}) put(static_cast<std::uint32_t>(value), spec.bits);
    if (held) put(0, 8 - held);
    for (int value : {spec.rateTimes256, spec.frameCount}) {
        body.push_back(static_cast<std::uint8_t>(value & 0xFF));
        body.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
    }
    // A little of a first tag, as real movies have.
    body.insert(body.end(), {0x40, 0x00, 0x00, 0x00});
    return body;
}

inline std::vector<std::uint8_t> SwfFileBytes(const SwfHeaderSpec& spec) {
    std::vector<std::uint8_t> body = SwfBody(spec);
    std::uint32_t length = spec.declaredLength >= 0 ? static_cast<std::uint32_t>(spec.declaredLength)
                                                    : static_cast<std::uint32_t>(8 + body.size());
    std::vector<std::uint8_t> file(spec.signature.begin(), spec.signature.end());
    file.resize(3);
    file.push_back(static_cast<std::uint8_t>(spec.version));
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<std::uint8_t>(length >> shift));
    if (spec.signature == "CWS") {
        uLongf size = compressBound(static_cast<uLong>(body.size()));
        std::vector<std::uint8_t> packed(size);
        compress(packed.data(), &size, body.data(), static_cast<uLong>(body.size()));
        packed.resize(size);
        body = packed;
    }
    file.insert(file.end(), body.begin(), body.end());
    return file;
}
