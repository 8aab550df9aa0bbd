// WBMP type 0: two zero bytes, width and height as multi-byte integers (7 bits a byte, high bit
// set on all but the last), then rows of one bit per pixel, 1 white, 0 black.

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

struct WbmpInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t dataOffset = 0;
};

// Multi-byte integers of up to four bytes, enough for any size below the limits.
bool ReadMultiByte(ByteReader& in, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t byte = in.U8();
        if (!in.Ok()) return false;
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return false;
}

bool ParseWbmp(Bytes bytes, WbmpInfo& info) {
    ByteReader in(bytes);
    if (in.U8() != 0 || in.U8() != 0 || !in.Ok()) return false;
    if (!ReadMultiByte(in, info.width) || !ReadMultiByte(in, info.height)) return false;
    info.dataOffset = in.Position();
    return info.width > 0 && info.height > 0;
}

std::uint64_t DataBytes(const WbmpInfo& info) {
    return (static_cast<std::uint64_t>(info.width) + 7) / 8 * info.height;
}

}  // namespace

// Nothing marks a WBMP but its size: the rows must fill the rest of the file exactly.
bool WbmpLooksValid(Bytes bytes) {
    WbmpInfo info;
    return ParseWbmp(bytes, info) && DataBytes(info) == bytes.size() - info.dataOffset;
}

int WbmpDecode(Bytes bytes, Raster& out) {
    WbmpInfo info;
    if (!ParseWbmp(bytes, info)) return kErrorCorrupt;
    if (int error = CheckSize(info.width, info.height)) return error;
    if (DataBytes(info) > bytes.size() - info.dataOffset) return kErrorTooLarge;
    Raster raster;
    if (int error = AllocateRaster(raster, info.width, info.height, 8)) return error;
    const std::size_t rowBytes = (static_cast<std::size_t>(info.width) + 7) / 8;
    for (std::uint32_t y = 0; y < info.height; ++y) {
        const std::uint8_t* bits = bytes.data() + info.dataOffset + rowBytes * y;
        std::uint8_t* row = raster.Row(y);
        for (std::uint32_t x = 0; x < info.width; ++x) row[x] = (bits[x >> 3] >> (7 - (x & 7))) & 1;
    }
    FillGreyPalette(raster, 1);
    out = std::move(raster);
    return 0;
}

}  // namespace image_codec
