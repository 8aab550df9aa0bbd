#pragma once

#include <cstdint>

// The 32-bit little-endian number at p, as Windows files and Flash movies store their numbers.
inline std::uint32_t LittleEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
