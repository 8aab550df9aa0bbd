#pragma once

#include <cstdint>

// A drawing target in memory, free of any toolkit: 32-bit pixels stored as the bytes blue,
// green, red, alpha (what a little-endian RGB32/ARGB32 image holds), rows stride bytes apart.
struct RasterSurface {
    std::uint8_t* bits;
    int width;
    int height;
    int stride;
};
