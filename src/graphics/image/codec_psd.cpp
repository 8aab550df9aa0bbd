// PSD: the merged picture at the end of the file, one plane per channel, raw or PackBits.
// stb_image could read the RGB ones, but it undoes the white matte of pictures with alpha in
// floating point that overflows on other writers' files; the format is simple enough to read
// here. Bitmap, greyscale, duotone and indexed pictures hold one channel of indices or grey.

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

// PackBits gives at most 128 bytes for two.
constexpr std::uint64_t kMaxPackBitsRatio = 64;

struct PsdInfo {
    int channels = 0;
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    int depth = 0;
    int colourMode = 0;
    Bytes modeData;
    int compression = 0;
    std::size_t dataOffset = 0;  // after the compression field
};

int ParsePsd(Bytes bytes, PsdInfo& info) {
    ByteReader in(bytes);
    if (in.U32Be() != 0x38425053 /* 8BPS */ || in.U16Be() != 1) return kErrorCorrupt;
    in.Skip(6);
    info.channels = in.U16Be();
    info.height = in.U32Be();
    info.width = in.U32Be();
    info.depth = in.U16Be();
    info.colourMode = in.U16Be();
    const std::uint32_t modeLength = in.U32Be();
    const std::uint8_t* mode = in.Take(modeLength);
    if (mode) info.modeData = Bytes(mode, modeLength);
    in.Skip(in.U32Be());  // image resources
    in.Skip(in.U32Be());  // layers and masks
    info.compression = in.U16Be();
    info.dataOffset = in.Position();
    if (!in.Ok()) return kErrorCorrupt;
    if (info.channels < 1 || info.channels > 56) return kErrorCorrupt;
    return 0;
}

// One row of PackBits into exactly size bytes; false when the data is short or overruns.
bool UnpackBits(Bytes packed, std::uint8_t* row, std::size_t size) {
    std::size_t in = 0, out = 0;
    while (out < size) {
        if (in >= packed.size()) return false;
        const int header = static_cast<std::int8_t>(packed[in++]);
        if (header >= 0) {
            const std::size_t count = static_cast<std::size_t>(header) + 1;
            if (count > size - out || count > packed.size() - in) return false;
            std::memcpy(row + out, packed.data() + in, count);
            in += count;
            out += count;
        } else if (header != -128) {
            const std::size_t count = static_cast<std::size_t>(1 - header);
            if (count > size - out || in >= packed.size()) return false;
            std::memset(row + out, packed[in++], count);
            out += count;
        }
    }
    return true;
}

// Reads one channel's rows (rowBytes each) into rows, one after another.
int ReadChannel(Bytes bytes, const PsdInfo& info, int channel, std::size_t rowBytes, std::uint8_t* rows) {
    const std::uint64_t size = static_cast<std::uint64_t>(rowBytes) * info.height;
    const std::size_t available = bytes.size() - info.dataOffset;
    if (info.compression == 0) {
        // The channels one after another, uncompressed.
        if (size * (channel + 1) > available) return kErrorTooLarge;
        std::memcpy(rows, bytes.data() + info.dataOffset + size * channel, size);
        return 0;
    }
    if (info.compression != 1) return kErrorUnsupported;
    // A table of every row's packed length, channel by channel, then the rows themselves.
    ByteReader lengths(bytes, info.dataOffset);
    std::uint64_t rowStart = info.dataOffset + static_cast<std::uint64_t>(info.channels) * info.height * 2;
    if (rowStart > bytes.size()) return kErrorCorrupt;
    for (std::uint64_t row = 0; row < static_cast<std::uint64_t>(channel) * info.height; ++row) {
        rowStart += lengths.U16Be();
    }
    for (std::uint32_t y = 0; y < info.height; ++y) {
        const std::uint16_t length = lengths.U16Be();
        if (!lengths.Ok() || rowStart > bytes.size() || length > bytes.size() - rowStart) return kErrorCorrupt;
        if (!UnpackBits(bytes.subspan(rowStart, length), rows + rowBytes * y, rowBytes)) return kErrorCorrupt;
        rowStart += length;
    }
    return 0;
}

// The bytes of channels planes of rowBytes x height cannot come from fewer bytes than this.
bool PlanesFit(Bytes bytes, const PsdInfo& info, int channels, std::uint64_t rowBytes) {
    const std::uint64_t needed = rowBytes * info.height * channels;
    const std::uint64_t available = bytes.size() - info.dataOffset;
    return needed <= (info.compression == 0 ? 1 : kMaxPackBitsRatio) * available;
}

int DecodeOneChannel(Bytes bytes, const PsdInfo& info, Raster& out) {
    const bool bitmap = info.colourMode == kPsdBitmap;
    if (bitmap ? info.depth != 1 : (info.depth != 8 && !(info.depth == 16 && info.colourMode != kPsdIndexed))) {
        return kErrorUnsupported;
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(info.width) * info.depth + 7) / 8;
    if (!PlanesFit(bytes, info, 1, rowBytes)) return kErrorTooLarge;

    Raster raster;
    if (int error = AllocateRaster(raster, info.width, info.height, bitmap ? 1 : 8)) return error;
    if (info.colourMode == kPsdIndexed) {
        if (info.modeData.size() < 768) return kErrorCorrupt;
        for (int i = 0; i < 256; ++i) {
            raster.palette[i] = MakeEntry(info.modeData[i], info.modeData[256 + i], info.modeData[512 + i]);
        }
        raster.paletteCount = 256;
    } else if (bitmap) {
        // Set bits are black ink on white paper.
        raster.palette[0] = MakeEntry(255, 255, 255);
        raster.palette[1] = MakeEntry(0, 0, 0);
        raster.paletteCount = 2;
    } else {
        FillGreyPalette(raster, 8);
    }
    if (info.depth != 16) {
        if (int error = ReadChannel(bytes, info, 0, rowBytes, raster.pixels.get())) return error;
    } else {
        // 16-bit grey keeps its high byte.
        std::vector<std::uint8_t> wide(rowBytes * info.height);
        if (int error = ReadChannel(bytes, info, 0, rowBytes, wide.data())) return error;
        for (std::size_t i = 0; i < raster.ByteSize(); ++i) raster.pixels[i] = wide[2 * i];
    }
    out = std::move(raster);
    return 0;
}

// The merged RGB picture: the first three channels. Any further ones (alpha, spot colours) are
// left out; Photoshop stores the merged colours already laid over white.
int DecodeRgb(Bytes bytes, const PsdInfo& info, Raster& out) {
    if ((info.depth != 8 && info.depth != 16) || info.channels < 3) return kErrorUnsupported;
    const int sampleBytes = info.depth / 8;
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(info.width) * sampleBytes;
    if (!PlanesFit(bytes, info, 3, rowBytes)) return kErrorTooLarge;
    Raster raster;
    if (int error = AllocateRaster(raster, info.width, info.height, 24)) return error;
    std::vector<std::uint8_t> plane(rowBytes * info.height);
    const std::size_t pixels = static_cast<std::size_t>(info.width) * info.height;
    for (int channel = 0; channel < 3; ++channel) {
        if (int error = ReadChannel(bytes, info, channel, rowBytes, plane.data())) return error;
        for (std::size_t i = 0; i < pixels; ++i) raster.pixels[3 * i + channel] = plane[sampleBytes * i];
    }
    out = std::move(raster);
    return 0;
}

}  // namespace

int PsdHeader(Bytes bytes, HeaderInfo& header) {
    PsdInfo info;
    if (int error = ParsePsd(bytes, info)) return error;
    header.bitsPerPixel = info.channels * info.depth;
    header.colourMode = info.colourMode;
    return 0;
}

int PsdDecode(Bytes bytes, Layout, Raster& out) {
    PsdInfo info;
    if (int error = ParsePsd(bytes, info)) return error;
    if (int error = CheckSize(info.width, info.height)) return error;
    switch (info.colourMode) {
        case kPsdBitmap:
        case kPsdGreyscale:
        case kPsdIndexed:
        case kPsdDuotone:
            return DecodeOneChannel(bytes, info, out);
        case kPsdRgb:
            return DecodeRgb(bytes, info, out);
        default:
            return kErrorUnsupported;
    }
}

}  // namespace image_codec
