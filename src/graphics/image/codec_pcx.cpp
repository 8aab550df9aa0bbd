// PCX: run-length coded scanlines, plane by plane. 8-bit pictures carry a 256-colour palette
// at the end of the file; 1- to 4-bit ones use the 16-colour palette of the header; three or
// four 8-bit planes are red, green, blue (and an alpha plane that is ignored).

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kPaletteBytes = 769;  // a 0x0C marker and 256 RGB triples
// A two-byte run gives at most 63 bytes.
constexpr std::uint64_t kMaxRunRatio = 32;

struct PcxInfo {
    int version;
    int encoding;
    int bits;
    std::uint32_t width;
    std::uint32_t height;
    int planes;
    std::uint32_t bytesPerLine;
};

bool ParsePcx(Bytes bytes, PcxInfo& info) {
    ByteReader in(bytes);
    if (bytes.size() < kHeaderBytes || in.U8() != 0x0A) return false;
    info.version = in.U8();
    info.encoding = in.U8();
    info.bits = in.U8();
    const int xMin = in.U16Le();
    const int yMin = in.U16Le();
    const int xMax = in.U16Le();
    const int yMax = in.U16Le();
    in.Seek(65);
    info.planes = in.U8();
    info.bytesPerLine = in.U16Le();
    if (!in.Ok() || xMax < xMin || yMax < yMin) return false;
    info.width = static_cast<std::uint32_t>(xMax - xMin + 1);
    info.height = static_cast<std::uint32_t>(yMax - yMin + 1);
    const bool versionKnown = info.version == 0 || (info.version >= 2 && info.version <= 5);
    const bool depthKnown = (info.bits == 8 && (info.planes == 1 || info.planes == 3 || info.planes == 4)) ||
                            (info.bits == 1 && info.planes >= 1 && info.planes <= 4) ||
                            ((info.bits == 2 || info.bits == 4) && info.planes == 1);
    return versionKnown && info.encoding <= 1 && depthKnown &&
           info.bytesPerLine >= (static_cast<std::uint64_t>(info.width) * info.bits + 7) / 8;
}

// Feeds decoded bytes a scanline at a time from the run-length stream.
class ScanlineReader {
public:
    ScanlineReader(Bytes data, bool runLength) : data(data), runLength(runLength) {}

    bool Read(std::uint8_t* line, std::size_t size) {
        std::size_t done = 0;
        while (done < size) {
            if (pending == 0) {
                if (position >= data.size()) return false;
                const std::uint8_t byte = data[position++];
                if (runLength && (byte & 0xC0) == 0xC0) {
                    if (position >= data.size()) return false;
                    pending = byte & 0x3F;
                    value = data[position++];
                } else {
                    pending = 1;
                    value = byte;
                }
            }
            // A run may go on into the next scanline; the rest is kept for it.
            const std::size_t count = std::min(pending, size - done);
            std::memset(line + done, value, count);
            done += count;
            pending -= count;
        }
        return true;
    }

private:
    Bytes data;
    bool runLength;
    std::size_t position = 0;
    std::size_t pending = 0;
    std::uint8_t value = 0;
};

}  // namespace

bool PcxLooksValid(Bytes bytes) {
    PcxInfo info;
    return ParsePcx(bytes, info);
}

int PcxHeader(Bytes bytes, HeaderInfo& header) {
    PcxInfo info;
    if (!ParsePcx(bytes, info)) return kErrorCorrupt;
    header.bitsPerPixel = info.bits * info.planes;
    return 0;
}

int PcxDecode(Bytes bytes, Layout, Raster& out) {
    PcxInfo info;
    if (!ParsePcx(bytes, info)) return kErrorCorrupt;
    if (int error = CheckSize(info.width, info.height)) return error;
    const bool rgb = info.bits == 8 && info.planes >= 3;
    const bool endPalette = info.bits == 8 && info.planes == 1 && bytes.size() >= kHeaderBytes + kPaletteBytes &&
                            bytes[bytes.size() - kPaletteBytes] == 0x0C;
    const Bytes data = bytes.subspan(kHeaderBytes, bytes.size() - kHeaderBytes - (endPalette ? kPaletteBytes : 0));
    const std::size_t lineBytes = static_cast<std::size_t>(info.bytesPerLine) * info.planes;
    const std::uint64_t total = static_cast<std::uint64_t>(lineBytes) * info.height;
    if (total > (info.encoding ? kMaxRunRatio : 1) * data.size()) return kErrorTooLarge;

    Raster raster;
    if (int error = AllocateRaster(raster, info.width, info.height, rgb ? 24 : 8)) return error;
    if (endPalette) {
        const std::uint8_t* at = bytes.data() + bytes.size() - kPaletteBytes + 1;
        for (int i = 0; i < 256; ++i, at += 3) raster.palette[i] = MakeEntry(at[0], at[1], at[2]);
        raster.paletteCount = 256;
    } else if (info.bits == 8 && !rgb) {
        FillGreyPalette(raster, 8);
    } else if (info.bits == 1 && info.planes == 1) {
        FillGreyPalette(raster, 1);
    } else if (!rgb) {
        const int count = 1 << (info.bits * info.planes);
        for (int i = 0; i < count; ++i) {
            raster.palette[i] = MakeEntry(bytes[16 + 3 * i], bytes[17 + 3 * i], bytes[18 + 3 * i]);
        }
        raster.paletteCount = count;
    }

    std::vector<std::uint8_t> line(lineBytes);
    ScanlineReader reader(data, info.encoding == 1);
    for (std::uint32_t y = 0; y < info.height; ++y) {
        if (!reader.Read(line.data(), line.size())) return kErrorCorrupt;
        std::uint8_t* row = raster.Row(y);
        auto plane = [&](int p) { return line.data() + static_cast<std::size_t>(p) * info.bytesPerLine; };
        for (std::uint32_t x = 0; x < info.width; ++x) {
            if (rgb) {
                row[3 * x] = plane(0)[x];
                row[3 * x + 1] = plane(1)[x];
                row[3 * x + 2] = plane(2)[x];
            } else if (info.bits == 8) {
                row[x] = plane(0)[x];
            } else if (info.planes == 1) {
                const std::size_t bit = static_cast<std::size_t>(x) * info.bits;
                row[x] = static_cast<std::uint8_t>((plane(0)[bit >> 3] >> (8 - info.bits - (bit & 7))) &
                                                   ((1 << info.bits) - 1));
            } else {
                std::uint8_t index = 0;
                for (int p = 0; p < info.planes; ++p) {
                    index |= static_cast<std::uint8_t>(((plane(p)[x >> 3] >> (7 - (x & 7))) & 1) << p);
                }
                row[x] = index;
            }
        }
    }
    out = std::move(raster);
    return 0;
}

}  // namespace image_codec
