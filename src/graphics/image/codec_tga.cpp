// TGA: 8-bit colour-mapped and grey pictures are decoded here (keeping the colour map as the
// palette); the others go to stb_image once their size is checked against the bytes present.

#include <algorithm>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

constexpr std::size_t kHeaderBytes = 18;
// A run-length packet of at least two bytes gives at most 128 pixels.
constexpr std::uint64_t kMaxRunPixelsPerByte = 64;

struct TgaInfo {
    int idLength;
    int colourMapType;
    int imageType;
    int mapFirst;
    int mapLength;
    int mapEntryBits;
    std::uint32_t width;
    std::uint32_t height;
    int pixelBits;
    int descriptor;
    std::size_t dataOffset;  // after the id and the colour map
};

bool ParseTga(Bytes bytes, TgaInfo& info) {
    ByteReader in(bytes);
    info.idLength = in.U8();
    info.colourMapType = in.U8();
    info.imageType = in.U8();
    info.mapFirst = in.U16Le();
    info.mapLength = in.U16Le();
    info.mapEntryBits = in.U8();
    in.Skip(4);  // origin
    info.width = in.U16Le();
    info.height = in.U16Le();
    info.pixelBits = in.U8();
    info.descriptor = in.U8();
    info.dataOffset =
        kHeaderBytes + info.idLength + (info.colourMapType == 1 ? info.mapLength * ((info.mapEntryBits + 7) / 8) : 0);
    return in.Ok();
}

bool IsMapped(const TgaInfo& info) {
    return info.imageType == 1 || info.imageType == 9;
}
bool IsGrey(const TgaInfo& info) {
    return info.imageType == 3 || info.imageType == 11;
}
bool IsRunLength(const TgaInfo& info) {
    return info.imageType >= 9;
}

// TGA has no signature: the header must be consistent in every field and the data must fit.
bool Consistent(Bytes bytes, const TgaInfo& info) {
    if (info.colourMapType > 1 || (info.descriptor & 0xC0) != 0) return false;
    if (info.width == 0 || info.height == 0 || info.dataOffset > bytes.size()) return false;
    if (info.colourMapType == 0 && (info.mapFirst != 0 || info.mapLength != 0)) return false;
    if (info.colourMapType == 1 && (info.mapLength == 0 || (info.mapEntryBits != 15 && info.mapEntryBits != 16 &&
                                                            info.mapEntryBits != 24 && info.mapEntryBits != 32))) {
        return false;
    }
    switch (info.imageType) {
        case 1:
        case 9:
            if (info.colourMapType != 1 || (info.pixelBits != 8 && info.pixelBits != 16)) return false;
            break;
        case 2:
        case 10:
            if (info.pixelBits != 15 && info.pixelBits != 16 && info.pixelBits != 24 && info.pixelBits != 32) {
                return false;
            }
            break;
        case 3:
        case 11:
            if (info.pixelBits != 8 && info.pixelBits != 16) return false;
            break;
        default:
            return false;
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(info.width) * info.height;
    const std::uint64_t available = bytes.size() - info.dataOffset;
    if (IsRunLength(info)) return available > 0;
    return pixels * ((info.pixelBits + 7) / 8) <= available;
}

int CheckDataSize(Bytes bytes, const TgaInfo& info) {
    if (int error = CheckSize(info.width, info.height)) return error;
    const std::uint64_t pixels = static_cast<std::uint64_t>(info.width) * info.height;
    const std::uint64_t available = bytes.size() - info.dataOffset;
    if (IsRunLength(info) ? pixels > kMaxRunPixelsPerByte * available
                          : pixels * ((info.pixelBits + 7) / 8) > available) {
        return kErrorTooLarge;
    }
    return 0;
}

PaletteEntry MapEntry(const std::uint8_t* at, int bits) {
    if (bits >= 24) return MakeEntry(at[2], at[1], at[0]);
    const unsigned value = at[0] | at[1] << 8;
    auto five = [](unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); };
    return MakeEntry(five((value >> 10) & 31), five((value >> 5) & 31), five(value & 31));
}

int DecodeIndexed(Bytes bytes, const TgaInfo& info, Raster& out) {
    Raster raster;
    if (IsMapped(info)) {
        const int entryBytes = (info.mapEntryBits + 7) / 8;
        ByteReader in(bytes, kHeaderBytes + info.idLength);
        for (int i = 0; i < info.mapLength; ++i) {
            const std::uint8_t* at = in.Take(entryBytes);
            if (!at) return kErrorCorrupt;
            if (info.mapFirst + i < 256) raster.palette[info.mapFirst + i] = MapEntry(at, info.mapEntryBits);
        }
        raster.paletteCount = std::min(256, info.mapFirst + info.mapLength);
    } else {
        FillGreyPalette(raster, 8);
    }
    if (int error = AllocateRaster(raster, info.width, info.height, 8)) return error;

    // The indices in file order, then placed by the origin bits.
    const std::size_t pixels = static_cast<std::size_t>(info.width) * info.height;
    ByteReader in(bytes, info.dataOffset);
    std::uint8_t* indices = raster.pixels.get();
    if (!IsRunLength(info)) {
        const std::uint8_t* data = in.Take(pixels);
        if (!data) return kErrorCorrupt;
        std::copy(data, data + pixels, indices);
    } else {
        for (std::size_t done = 0; done < pixels;) {
            const std::uint8_t packet = in.U8();
            const std::size_t count = std::min<std::size_t>((packet & 127) + 1, pixels - done);
            if (packet & 128) {
                std::fill_n(indices + done, count, in.U8());
            } else if (const std::uint8_t* data = in.Take(count)) {
                std::copy(data, data + count, indices + done);
            }
            if (!in.Ok()) return kErrorCorrupt;
            done += count;
        }
    }
    if (!(info.descriptor & 0x20)) {
        for (std::uint32_t y = 0; y < info.height / 2; ++y) {
            std::swap_ranges(raster.Row(y), raster.Row(y) + info.width, raster.Row(info.height - 1 - y));
        }
    }
    if (info.descriptor & 0x10) {
        for (std::uint32_t y = 0; y < info.height; ++y) std::reverse(raster.Row(y), raster.Row(y) + info.width);
    }
    out = std::move(raster);
    return 0;
}

}  // namespace

bool TgaLooksValid(Bytes bytes) {
    TgaInfo info;
    return ParseTga(bytes, info) && Consistent(bytes, info);
}

int TgaHeader(Bytes bytes, HeaderInfo& header) {
    TgaInfo info;
    if (!ParseTga(bytes, info) || !Consistent(bytes, info)) return kErrorCorrupt;
    header.bitsPerPixel = info.pixelBits;
    return 0;
}

int TgaDecode(Bytes bytes, Layout layout, Raster& out) {
    TgaInfo info;
    if (!ParseTga(bytes, info) || info.dataOffset > bytes.size()) return kErrorCorrupt;
    if (int error = CheckDataSize(bytes, info)) return error;
    const bool wantIndices = layout == Layout::Indexed8 || layout == Layout::Bits1;
    if (wantIndices && info.pixelBits == 8 && (IsMapped(info) || IsGrey(info))) {
        return DecodeIndexed(bytes, info, out);
    }
    return StbDecodeRgb(bytes, out);
}

}  // namespace image_codec
