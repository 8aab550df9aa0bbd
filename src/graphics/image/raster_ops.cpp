// Depth conversions, quantising, resampling and drawing of the codec layer's rasters.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "graphics/image/image_codecs.h"

namespace image_codec {

namespace {

std::uint32_t Pack(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 | blue;
}

// Finds the palette entry nearest to a colour (squared distance; the first of equals wins).
// Pictures repeat their colours a great deal, so answers are remembered in a small
// direct-mapped cache.
class NearestEntry {
public:
    NearestEntry(const PaletteEntry* entries, int count) : entries(entries), count(count) { cache.fill(kEmpty); }

    std::uint8_t Find(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        const std::uint32_t colour = Pack(red, green, blue);
        std::uint64_t& slot = cache[(colour * 2654435761u) >> 20];
        if ((slot >> 8) == colour) return static_cast<std::uint8_t>(slot);
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < count && bestDistance != 0; ++i) {
            const int dr = entries[i].red - red;
            const int dg = entries[i].green - green;
            const int db = entries[i].blue - blue;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        slot = static_cast<std::uint64_t>(colour) << 8 | static_cast<std::uint8_t>(best);
        return static_cast<std::uint8_t>(best);
    }

private:
    // Colours are 24 bits, so a key above them marks an empty slot.
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    const PaletteEntry* entries;
    int count;
    std::array<std::uint64_t, 4096> cache;
};

// The colour of pixel x in a row of a 1-, 8- or 24-bit raster.
struct Rgb {
    std::uint8_t red, green, blue;
};
Rgb PixelColour(const Raster& raster, const std::uint8_t* row, std::uint32_t x) {
    switch (raster.depth) {
        case 1: {
            const PaletteEntry& entry = raster.palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
            return {entry.red, entry.green, entry.blue};
        }
        case 8: {
            const PaletteEntry& entry = raster.palette[row[x]];
            return {entry.red, entry.green, entry.blue};
        }
        default:
            return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    }
}

// Where output pixel i of a side of length to samples a side of length from: pixel centres
// aligned, clamped at the edges. first + 1 is the neighbour (clamped); weight is the share of
// the neighbour in 1/256.
struct Tap {
    std::uint32_t first;
    std::uint32_t second;
    std::uint32_t weight;
};
std::vector<Tap> Taps(std::uint32_t from, std::uint32_t to) {
    std::vector<Tap> taps(to);
    const double scale = static_cast<double>(from) / to;
    for (std::uint32_t i = 0; i < to; ++i) {
        const double at = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
        const auto first = static_cast<std::uint32_t>(at);
        taps[i].first = first;
        taps[i].second = std::min(first + 1, from - 1);
        taps[i].weight = static_cast<std::uint32_t>(std::lround((at - first) * 256));
        if (taps[i].weight == 256) {
            taps[i].first = taps[i].second;
            taps[i].weight = 0;
        }
    }
    return taps;
}

// Resampling of 24- and 32-bit rasters, and of 1- and 8-bit ones through their palette colours.
void ResampleColour(const Raster& in, Raster& out) {
    const std::vector<Tap> columns = Taps(in.width, out.width);
    const std::vector<Tap> rows = Taps(in.height, out.height);
    const bool alpha = in.depth == 32;
    const bool indexed = in.depth <= 8;
    const int channels = alpha ? 4 : 3;
    // Indexed pictures map back onto their own palette (a 1-bit one onto its two entries).
    const int candidates = in.depth == 1 ? 2 : (in.paletteCount > 0 ? in.paletteCount : 256);
    NearestEntry nearest(in.palette.data(), candidates);
    std::vector<std::uint8_t> above, below;
    if (indexed) {
        above.resize(3 * static_cast<std::size_t>(in.width));
        below.resize(above.size());
    }
    auto expand = [&](std::uint32_t y, std::vector<std::uint8_t>& into) {
        const std::uint8_t* row = in.Row(y);
        for (std::uint32_t x = 0; x < in.width; ++x) {
            const Rgb c = PixelColour(in, row, x);
            into[3 * x] = c.red;
            into[3 * x + 1] = c.green;
            into[3 * x + 2] = c.blue;
        }
    };
    for (std::uint32_t y = 0; y < out.height; ++y) {
        const Tap& ty = rows[y];
        const std::uint8_t* top = in.Row(ty.first);
        const std::uint8_t* bottom = in.Row(ty.second);
        if (indexed) {
            expand(ty.first, above);
            expand(ty.second, below);
            top = above.data();
            bottom = below.data();
        }
        std::uint8_t* target = out.Row(y);
        if (out.depth == 1) std::memset(target, 0, out.RowBytes());
        for (std::uint32_t x = 0; x < out.width; ++x) {
            const Tap& tx = columns[x];
            const std::uint32_t weights[4] = {(256 - tx.weight) * (256 - ty.weight), tx.weight * (256 - ty.weight),
                                              (256 - tx.weight) * ty.weight, tx.weight * ty.weight};
            const std::uint8_t* corners[4] = {top + channels * tx.first, top + channels * tx.second,
                                              bottom + channels * tx.first, bottom + channels * tx.second};
            std::uint8_t value[4];
            if (alpha) {
                // Colours weighted by their alpha, so a transparent neighbour lends none.
                std::uint64_t coverage = 0;
                std::uint64_t sums[3] = {0, 0, 0};
                for (int k = 0; k < 4; ++k) {
                    const std::uint64_t w = static_cast<std::uint64_t>(weights[k]) * corners[k][3];
                    coverage += w;
                    for (int c = 0; c < 3; ++c) sums[c] += w * corners[k][c];
                }
                for (int c = 0; c < 3; ++c) {
                    value[c] = coverage ? static_cast<std::uint8_t>((sums[c] + coverage / 2) / coverage) : 0;
                }
                value[3] = static_cast<std::uint8_t>((coverage + 32768) >> 16);
            } else {
                for (int c = 0; c < 3; ++c) {
                    std::uint32_t sum = 32768;
                    for (int k = 0; k < 4; ++k) sum += weights[k] * corners[k][c];
                    value[c] = static_cast<std::uint8_t>(sum >> 16);
                }
            }
            if (!indexed) {
                std::memcpy(target + channels * x, value, channels);
                continue;
            }
            const std::uint8_t index = nearest.Find(value[0], value[1], value[2]);
            if (out.depth == 8) {
                target[x] = index;
            } else if (index) {
                target[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
            }
        }
    }
}

}  // namespace

int ExpandBitsTo8(const Raster& in, Raster& out) {
    if (in.depth != 1 || !in.pixels) return kErrorBadArgument;
    Raster next;
    if (int error = AllocateRaster(next, in.width, in.height, 8)) return error;
    for (std::uint32_t y = 0; y < in.height; ++y) {
        const std::uint8_t* bits = in.Row(y);
        std::uint8_t* row = next.Row(y);
        for (std::uint32_t x = 0; x < in.width; ++x) row[x] = (bits[x >> 3] >> (7 - (x & 7))) & 1;
    }
    next.palette = in.palette;
    next.paletteCount = 256;
    out = std::move(next);
    return 0;
}

int ExpandIndexedTo24(const Raster& in, Raster& out) {
    if (in.depth != 8 || !in.pixels) return kErrorBadArgument;
    Raster next;
    if (int error = AllocateRaster(next, in.width, in.height, 24)) return error;
    for (std::uint32_t y = 0; y < in.height; ++y) {
        const std::uint8_t* row = in.Row(y);
        std::uint8_t* rgb = next.Row(y);
        for (std::uint32_t x = 0; x < in.width; ++x, rgb += 3) {
            const PaletteEntry& entry = in.palette[row[x]];
            rgb[0] = entry.red;
            rgb[1] = entry.green;
            rgb[2] = entry.blue;
        }
    }
    out = std::move(next);
    return 0;
}

int AddAlpha(const Raster& in, std::uint8_t alpha, Raster& out) {
    if (in.depth != 24 || !in.pixels) return kErrorBadArgument;
    Raster next;
    if (int error = AllocateRaster(next, in.width, in.height, 32)) return error;
    const std::size_t pixels = static_cast<std::size_t>(in.width) * in.height;
    const std::uint8_t* from = in.pixels.get();
    std::uint8_t* to = next.pixels.get();
    for (std::size_t i = 0; i < pixels; ++i, from += 3, to += 4) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        to[3] = alpha;
    }
    out = std::move(next);
    return 0;
}

int DropAlpha(const Raster& in, Raster& out) {
    if (in.depth != 32 || !in.pixels) return kErrorBadArgument;
    Raster next;
    if (int error = AllocateRaster(next, in.width, in.height, 24)) return error;
    const std::size_t pixels = static_cast<std::size_t>(in.width) * in.height;
    const std::uint8_t* from = in.pixels.get();
    std::uint8_t* to = next.pixels.get();
    for (std::size_t i = 0; i < pixels; ++i, from += 4, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
    out = std::move(next);
    return 0;
}

int QuantiseTo8(const Raster& in, const PaletteEntry* palette, int count, Raster& out) try {
    if (in.depth != 24 || !in.pixels) return kErrorBadArgument;
    Raster next;
    if (int error = AllocateRaster(next, in.width, in.height, 8)) return error;
    const std::size_t pixels = static_cast<std::size_t>(in.width) * in.height;
    const std::uint8_t* rgb = in.pixels.get();
    std::uint8_t* indices = next.pixels.get();

    if (palette != nullptr && count > 0) {
        count = std::min(count, 256);
        std::copy(palette, palette + count, next.palette.begin());
        next.paletteCount = count;
    } else {
        // A picture of few colours keeps them exactly; the cube is only for the others.
        std::unordered_map<std::uint32_t, std::uint8_t> seen;
        bool few = true;
        for (std::size_t i = 0; i < pixels && few; ++i) {
            const std::uint32_t colour = Pack(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
            if (seen.contains(colour)) continue;
            if (seen.size() == 256) {
                few = false;
                break;
            }
            const auto index = static_cast<std::uint8_t>(seen.size());
            seen.emplace(colour, index);
            next.palette[index] = MakeEntry(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        }
        next.paletteCount = 256;
        if (few) {
            for (std::size_t i = 0; i < pixels; ++i) {
                indices[i] = seen[Pack(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2])];
            }
            out = std::move(next);
            return 0;
        }
        // 6 levels of red and blue, 7 of green (the eye tells greens apart best).
        next.palette.fill(PaletteEntry{});
        for (int r = 0; r < 6; ++r) {
            for (int g = 0; g < 7; ++g) {
                for (int b = 0; b < 6; ++b) {
                    next.palette[r * 42 + g * 6 + b] =
                        MakeEntry(static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>((g * 255 + 3) / 6),
                                  static_cast<std::uint8_t>(b * 51));
                }
            }
        }
        for (std::size_t i = 0; i < pixels; ++i, rgb += 3) {
            const int r = (rgb[0] * 5 + 127) / 255;
            const int g = (rgb[1] * 6 + 127) / 255;
            const int b = (rgb[2] * 5 + 127) / 255;
            indices[i] = static_cast<std::uint8_t>(r * 42 + g * 6 + b);
        }
        out = std::move(next);
        return 0;
    }
    NearestEntry nearest(next.palette.data(), next.paletteCount);
    for (std::size_t i = 0; i < pixels; ++i, rgb += 3) indices[i] = nearest.Find(rgb[0], rgb[1], rgb[2]);
    out = std::move(next);
    return 0;
} catch (const std::bad_alloc&) {
    return kErrorOutOfMemory;
}

int Resample(const Raster& in, std::uint32_t width, std::uint32_t height, Raster& out) try {
    if (!in.pixels || RowBytes(1, in.depth) == 0) return kErrorBadArgument;
    Raster next;
    if (int error = AllocateRaster(next, width, height, in.depth)) return error;
    next.palette = in.palette;
    next.paletteCount = in.paletteCount;
    ResampleColour(in, next);
    out = std::move(next);
    return 0;
} catch (const std::bad_alloc&) {
    return kErrorOutOfMemory;
}

int DrawRaster(const Raster& in, const RasterSurface& surface, int x, int y) {
    if (!in.pixels || RowBytes(1, in.depth) == 0) return kErrorBadArgument;
    if (surface.bits == nullptr || surface.width <= 0 || surface.height <= 0 || surface.stride < 4 * surface.width) {
        return kErrorBadArgument;
    }
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + in.width, surface.width);
    const std::int64_t first = std::max<std::int64_t>(y, 0);
    const std::int64_t last = std::min<std::int64_t>(std::int64_t{y} + in.height, surface.height);
    // floor(v / 255) for the blend's range, without a division.
    auto div255 = [](unsigned v) { return static_cast<std::uint8_t>((v + 1 + (v >> 8)) >> 8); };
    for (std::int64_t row = first; row < last; ++row) {
        const std::uint8_t* source = in.Row(static_cast<std::uint32_t>(row - y));
        std::uint8_t* target = surface.bits + row * surface.stride + left * 4;
        if (in.depth != 32) {
            for (std::int64_t column = left; column < right; ++column, target += 4) {
                const Rgb c = PixelColour(in, source, static_cast<std::uint32_t>(column - x));
                target[0] = c.blue;
                target[1] = c.green;
                target[2] = c.red;
                target[3] = 255;
            }
            continue;
        }
        const std::uint8_t* pixel = source + 4 * (left - x);
        for (std::int64_t column = left; column < right; ++column, target += 4, pixel += 4) {
            const unsigned a = pixel[3];
            // Opaque and clear pixels are the common ones; the blend gives them exactly this.
            if (a == 255) {
                target[0] = pixel[2];
                target[1] = pixel[1];
                target[2] = pixel[0];
                target[3] = 255;
                continue;
            }
            if (a == 0) continue;
            target[0] = div255(pixel[2] * a + target[0] * (255 - a) + 127);
            target[1] = div255(pixel[1] * a + target[1] * (255 - a) + 127);
            target[2] = div255(pixel[0] * a + target[2] * (255 - a) + 127);
            target[3] = 255;
        }
    }
    return 0;
}

}  // namespace image_codec
