#pragma once

// Inside the image codec layer: the per-family readers and decoders that image_codecs.cpp
// dispatches to, and a bounds-checked byte reader they share.

#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/image/image_codecs.h"

namespace image_codec {

// Reads integers from a byte block. Reading past the end yields zeros and makes Ok() false
// for good, so a decoder can read a whole header and check once.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t position = 0)
        : bytes(bytes), position(position), ok(position <= bytes.size()) {}

    bool Ok() const { return ok; }
    std::size_t Position() const { return position; }
    std::size_t Remaining() const { return ok ? bytes.size() - position : 0; }
    bool Seek(std::size_t to) {
        if (to > bytes.size()) ok = false;
        if (ok) position = to;
        return ok;
    }
    bool Skip(std::uint64_t count) {
        if (!ok || count > Remaining()) return ok = false;
        position += static_cast<std::size_t>(count);
        return true;
    }
    const std::uint8_t* Take(std::size_t count) {
        if (!ok || count > Remaining()) {
            ok = false;
            return nullptr;
        }
        const std::uint8_t* at = bytes.data() + position;
        position += count;
        return at;
    }
    std::uint8_t U8() {
        const std::uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    std::uint16_t U16Le() {
        const std::uint8_t* p = Take(2);
        return p ? static_cast<std::uint16_t>(p[0] | p[1] << 8) : 0;
    }
    std::uint16_t U16Be() {
        const std::uint8_t* p = Take(2);
        return p ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : 0;
    }
    std::uint32_t U32Le() {
        const std::uint8_t* p = Take(4);
        return p ? static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                       static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24
                 : 0;
    }
    std::uint32_t U32Be() {
        const std::uint8_t* p = Take(4);
        return p ? static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                       static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3])
                 : 0;
    }

private:
    std::span<const std::uint8_t> bytes;
    std::size_t position;
    bool ok;
};

using Bytes = std::span<const std::uint8_t>;

// Each decoder fills out in the layout closest to the one asked for that the file gives
// directly; Decode converts the rest.
int PngHeader(Bytes bytes, HeaderInfo& info);
bool PngResolution(Bytes bytes, RawResolution& resolution);
int PngDecode(Bytes bytes, Layout layout, Raster& out);

int JpegHeader(Bytes bytes, HeaderInfo& info);
bool JpegResolution(Bytes bytes, RawResolution& resolution);
int JpegDecode(Bytes bytes, Layout layout, DrawSize drawn, Raster& out);

int TiffHeader(Bytes bytes, int page, HeaderInfo& info);
bool TiffResolution(Bytes bytes, int page, RawResolution& resolution);
int TiffDecode(Bytes bytes, Layout layout, int page, Raster& out);

int BmpHeader(Bytes bytes, HeaderInfo& info);
bool BmpResolution(Bytes bytes, RawResolution& resolution);
int BmpDecode(Bytes bytes, Layout layout, Raster& out);

bool TgaLooksValid(Bytes bytes);
int TgaHeader(Bytes bytes, HeaderInfo& info);
int TgaDecode(Bytes bytes, Layout layout, Raster& out);

int PsdHeader(Bytes bytes, HeaderInfo& info);
int PsdDecode(Bytes bytes, Layout layout, Raster& out);

bool PcxLooksValid(Bytes bytes);
int PcxHeader(Bytes bytes, HeaderInfo& info);
int PcxDecode(Bytes bytes, Layout layout, Raster& out);

bool WbmpLooksValid(Bytes bytes);
int WbmpDecode(Bytes bytes, Raster& out);

// BMP (16, 24, 32 bits) and TGA through stb_image, to 24 bits. The caller has
// checked the size against the limits and the bytes present, since stb_image reads zeros past
// the end instead of failing.
int StbDecodeRgb(Bytes bytes, Raster& out);

// A grey ramp of 2^bits levels in the first entries: index i is i * 255 / (2^bits - 1).
void FillGreyPalette(Raster& raster, int bits);

}  // namespace image_codec
