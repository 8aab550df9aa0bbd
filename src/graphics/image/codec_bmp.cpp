// BMP: pictures of 1 to 8 bits (plain, RLE8 and RLE4) are decoded here so that they keep the
// file's palette; deeper ones go to stb_image once their size is checked against the bytes.

#include <algorithm>
#include <cstring>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

enum : std::uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3 };

// Run-length data can skip whole rows in two bytes, so it has no hard ratio; even a picture of
// empty rows of the widest kind stays below this many pixels per byte of data.
constexpr std::uint64_t kMaxRunPixelsPerByte = 4096;

struct BmpInfo {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t coloursUsed = 0;
    std::int32_t xPerMetre = 0;
    std::int32_t yPerMetre = 0;
};

int ParseBmp(Bytes bytes, BmpInfo& info) {
    ByteReader in(bytes);
    if (in.U8() != 'B' || in.U8() != 'M') return kErrorCorrupt;
    in.Skip(8);  // file size, reserved
    info.dataOffset = in.U32Le();
    info.headerSize = in.U32Le();
    if (info.headerSize == 12) {
        info.width = in.U16Le();
        info.height = in.U16Le();
        in.U16Le();  // planes
        info.bits = in.U16Le();
    } else if (info.headerSize >= 40) {
        const auto width = static_cast<std::int32_t>(in.U32Le());
        const auto height = static_cast<std::int32_t>(in.U32Le());
        in.U16Le();  // planes
        info.bits = in.U16Le();
        info.compression = in.U32Le();
        in.U32Le();  // image size
        info.xPerMetre = static_cast<std::int32_t>(in.U32Le());
        info.yPerMetre = static_cast<std::int32_t>(in.U32Le());
        info.coloursUsed = in.U32Le();
        if (width <= 0 || height == 0 || height == INT32_MIN) return kErrorCorrupt;
        info.width = static_cast<std::uint32_t>(width);
        info.topDown = height < 0;
        info.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    } else {
        return kErrorUnsupported;
    }
    return in.Ok() ? 0 : kErrorCorrupt;
}

// The bytes of rows padded to four bytes, as stored; the last row may lack its padding.
bool RowsPresent(Bytes bytes, const BmpInfo& info) {
    const std::uint64_t stride = (static_cast<std::uint64_t>(info.width) * info.bits + 31) / 32 * 4;
    const std::uint64_t last = (static_cast<std::uint64_t>(info.width) * info.bits + 7) / 8;
    return info.dataOffset <= bytes.size() && stride * (info.height - 1) + last <= bytes.size() - info.dataOffset;
}

int ReadPalette(Bytes bytes, const BmpInfo& info, Raster& raster) {
    const bool core = info.headerSize == 12;
    const std::uint32_t most = 1u << info.bits;
    const std::uint32_t count = core || info.coloursUsed == 0 ? most : std::min(info.coloursUsed, most);
    ByteReader in(bytes, 14 + static_cast<std::size_t>(info.headerSize));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t blue = in.U8();
        const std::uint8_t green = in.U8();
        const std::uint8_t red = in.U8();
        if (!core) in.U8();
        raster.palette[i] = MakeEntry(red, green, blue);
    }
    raster.paletteCount = static_cast<int>(count);
    return in.Ok() ? 0 : kErrorCorrupt;
}

void DecodePlain(Bytes bytes, const BmpInfo& info, Raster& raster) {
    const std::size_t stride = (static_cast<std::size_t>(info.width) * info.bits + 31) / 32 * 4;
    const unsigned mask = (1u << info.bits) - 1;
    for (std::uint32_t row = 0; row < info.height; ++row) {
        const std::uint8_t* from = bytes.data() + info.dataOffset + stride * row;
        std::uint8_t* to = raster.Row(info.topDown ? row : info.height - 1 - row);
        for (std::uint32_t x = 0; x < info.width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x) * info.bits;
            to[x] = static_cast<std::uint8_t>((from[bit >> 3] >> (8 - info.bits - (bit & 7))) & mask);
        }
    }
}

// Run-length coded rows, bottom row first. Whatever the stream does not reach stays index 0;
// a stream that stops early leaves the rest of the picture at index 0, as Windows shows it.
void DecodeRunLength(Bytes bytes, const BmpInfo& info, Raster& raster) {
    std::memset(raster.pixels.get(), 0, raster.ByteSize());
    const bool four = info.compression == kBiRle4;
    ByteReader in(bytes, info.dataOffset);
    std::uint64_t x = 0, y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < info.width && y < info.height) raster.Row(info.height - 1 - static_cast<std::uint32_t>(y))[x] = index;
        ++x;
    };
    while (in.Ok() && y < info.height) {
        const std::uint8_t count = in.U8();
        const std::uint8_t value = in.U8();
        if (!in.Ok()) break;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? (i & 1 ? value & 15 : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += in.U8();
            y += in.U8();
        } else {
            const std::size_t stored = four ? (value + 1u) / 2 : value;
            const std::uint8_t* literal = in.Take(stored + (stored & 1));
            if (!literal) break;
            for (int i = 0; i < value; ++i) {
                put(four ? (i & 1 ? literal[i / 2] & 15 : literal[i / 2] >> 4) : literal[i]);
            }
        }
    }
}

int DecodeIndexed(Bytes bytes, const BmpInfo& info, Raster& out) {
    const bool plain = info.compression == kBiRgb;
    const bool runs =
        (info.compression == kBiRle8 && info.bits == 8) || (info.compression == kBiRle4 && info.bits == 4);
    if (!plain && !runs) return kErrorUnsupported;
    if (runs && info.topDown) return kErrorCorrupt;
    if (plain && !RowsPresent(bytes, info)) return kErrorTooLarge;
    if (runs && (info.dataOffset >= bytes.size() || static_cast<std::uint64_t>(info.width) * info.height >
                                                        kMaxRunPixelsPerByte * (bytes.size() - info.dataOffset))) {
        return kErrorTooLarge;
    }
    Raster raster;
    if (int error = ReadPalette(bytes, info, raster)) return error;
    if (int error = AllocateRaster(raster, info.width, info.height, 8)) return error;
    if (plain) {
        DecodePlain(bytes, info, raster);
    } else {
        DecodeRunLength(bytes, info, raster);
    }
    out = std::move(raster);
    return 0;
}

}  // namespace

int BmpHeader(Bytes bytes, HeaderInfo& header) {
    BmpInfo info;
    if (int error = ParseBmp(bytes, info)) return error;
    header.bitsPerPixel = info.bits;
    return 0;
}

bool BmpResolution(Bytes bytes, RawResolution& resolution) {
    BmpInfo info;
    if (ParseBmp(bytes, info) != 0 || (info.xPerMetre <= 0 && info.yPerMetre <= 0)) return false;
    resolution = {std::max(info.xPerMetre, 0), std::max(info.yPerMetre, 0), 1};
    return true;
}

int BmpDecode(Bytes bytes, Layout, Raster& out) {
    BmpInfo info;
    if (int error = ParseBmp(bytes, info)) return error;
    if (int error = CheckSize(info.width, info.height)) return error;
    switch (info.bits) {
        case 1:
        case 2:
        case 4:
        case 8:
            return DecodeIndexed(bytes, info, out);
        case 16:
        case 24:
        case 32:
            if (info.compression != kBiRgb && info.compression != kBiBitfields) return kErrorUnsupported;
            if (!RowsPresent(bytes, info)) return kErrorTooLarge;
            return StbDecodeRgb(bytes, out);
        default:
            return kErrorUnsupported;
    }
}

}  // namespace image_codec
