// TIFF through libtiff, always from memory (a file source is read whole first). Index and grey
// pictures are unpacked from their strips or tiles so that their palette stays exact; every
// other kind goes through libtiff's RGBA reader a band of rows at a time.

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

struct TiffMemory {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t position;
};

tmsize_t ReadMemory(thandle_t handle, void* buffer, tmsize_t size) {
    auto* memory = static_cast<TiffMemory*>(handle);
    if (size <= 0 || memory->position >= memory->size) return 0;
    const std::uint64_t count =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size), memory->size - memory->position);
    std::memcpy(buffer, memory->data + memory->position, count);
    memory->position += count;
    return static_cast<tmsize_t>(count);
}
tmsize_t WriteNothing(thandle_t, void*, tmsize_t) {
    return 0;
}
toff_t SeekMemory(thandle_t handle, toff_t offset, int whence) {
    auto* memory = static_cast<TiffMemory*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) base = memory->position;
    if (whence == SEEK_END) base = memory->size;
    if (offset > UINT64_MAX - base) return static_cast<toff_t>(-1);
    memory->position = base + offset;
    return memory->position;
}
int CloseNothing(thandle_t) {
    return 0;
}
toff_t SizeOfMemory(thandle_t handle) {
    return static_cast<TiffMemory*>(handle)->size;
}
// The block is offered as a mapped file: libtiff reads mapped data in place and never writes to
// it. Its reader without a mapping also trips over some uncompressed tiled files.
int MapMemory(thandle_t handle, void** base, toff_t* size) {
    auto* memory = static_cast<TiffMemory*>(handle);
    *base = const_cast<std::uint8_t*>(memory->data);
    *size = memory->size;
    return 1;
}
void UnmapNothing(thandle_t, void*, toff_t) {}

// libtiff's messages would go to stderr; a bad picture is reported by the result alone.
int Quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

// An open TIFF positioned on one page.
class TiffPage {
public:
    TiffPage(Bytes bytes, int page) : memory{bytes.data(), bytes.size(), 0} {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (!options) {
            error = kErrorOutOfMemory;
            return;
        }
        TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, 256 << 20);
        tiff = TIFFClientOpenExt("memory", "r", &memory, ReadMemory, WriteNothing, SeekMemory, CloseNothing,
                                 SizeOfMemory, MapMemory, UnmapNothing, options);
        TIFFOpenOptionsFree(options);
        if (!tiff) {
            error = kErrorCorrupt;
        } else if (page != 0 && !TIFFSetDirectory(tiff, static_cast<tdir_t>(page))) {
            error = kErrorNoSuchPage;
        }
    }
    ~TiffPage() {
        if (tiff) TIFFClose(tiff);
    }
    TiffPage(const TiffPage&) = delete;
    TiffPage& operator=(const TiffPage&) = delete;

    TIFF* tiff = nullptr;
    int error = 0;

private:
    TiffMemory memory;
};

class RgbaReader {
public:
    RgbaReader() { std::memset(&image, 0, sizeof image); }
    ~RgbaReader() {
        if (begun) TIFFRGBAImageEnd(&image);
    }
    RgbaReader(const RgbaReader&) = delete;
    RgbaReader& operator=(const RgbaReader&) = delete;

    TIFFRGBAImage image;
    bool begun = false;
};

int ToInt(float value) {
    if (!(value > 0)) return 0;
    return value >= 2147483647.0f ? 2147483647 : static_cast<int>(std::lround(value));
}

std::uint8_t Luminance(const PaletteEntry& entry) {
    return static_cast<std::uint8_t>((entry.red * 299 + entry.green * 587 + entry.blue * 114) / 1000);
}

// Two entries, 0 white and 1 black, with every index mapped to the nearer of them.
void ToWhiteAndBlack(Raster& indexed) {
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i) map[i] = Luminance(indexed.palette[i]) < 128 ? 1 : 0;
    const std::size_t pixels = indexed.ByteSize();
    for (std::size_t i = 0; i < pixels; ++i) indexed.pixels[i] = map[indexed.pixels[i]];
    indexed.palette.fill(PaletteEntry{});
    indexed.palette[0] = MakeEntry(255, 255, 255);
    indexed.palette[1] = MakeEntry(0, 0, 0);
    indexed.paletteCount = 2;
}

// Copies samples of bits each from a decoded row into 8-bit indices.
void UnpackSamples(const std::uint8_t* row, int bits, std::uint32_t count, std::uint8_t* indices) {
    if (bits == 8) {
        std::memcpy(indices, row, count);
        return;
    }
    const unsigned mask = (1u << bits) - 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t bit = static_cast<std::uint64_t>(i) * bits;
        const int shift = 8 - bits - static_cast<int>(bit & 7);
        indices[i] = static_cast<std::uint8_t>((row[bit >> 3] >> shift) & mask);
    }
}

// One sample per pixel of 1 to 8 bits: the samples are the indices.
int ReadIndices(TIFF* tiff, int bits, Raster& raster) {
    const std::uint32_t width = raster.width;
    const std::uint32_t height = raster.height;
    if (TIFFIsTiled(tiff)) {
        std::uint32_t tileWidth = 0, tileHeight = 0;
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
        if (tileWidth == 0 || tileHeight == 0 || tileWidth > kMaxSide || tileHeight > kMaxSide) {
            return kErrorCorrupt;
        }
        const std::size_t rowBytes = (static_cast<std::size_t>(tileWidth) * bits + 7) / 8;
        const std::size_t tileBytes = rowBytes * tileHeight;
        const auto tile = std::make_unique_for_overwrite<std::uint8_t[]>(tileBytes);
        for (std::uint32_t top = 0; top < height; top += tileHeight) {
            for (std::uint32_t left = 0; left < width; left += tileWidth) {
                const tmsize_t got = TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, 0), tile.get(),
                                                         static_cast<tmsize_t>(tileBytes));
                const std::uint32_t rows = std::min(tileHeight, height - top);
                if (got < 0 || static_cast<std::size_t>(got) < rowBytes * rows) return kErrorCorrupt;
                const std::uint32_t columns = std::min(tileWidth, width - left);
                for (std::uint32_t r = 0; r < rows; ++r) {
                    UnpackSamples(tile.get() + rowBytes * r, bits, columns, raster.Row(top + r) + left);
                }
            }
        }
        return 0;
    }
    std::uint32_t rowsPerStrip = height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, height);
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
    const auto strip = std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * rowsPerStrip);
    for (std::uint32_t top = 0; top < height; top += rowsPerStrip) {
        const std::uint32_t rows = std::min(rowsPerStrip, height - top);
        const tmsize_t got = TIFFReadEncodedStrip(tiff, TIFFComputeStrip(tiff, top, 0), strip.get(),
                                                  static_cast<tmsize_t>(rowBytes * rows));
        if (got < 0 || static_cast<std::size_t>(got) < rowBytes * rows) return kErrorCorrupt;
        for (std::uint32_t r = 0; r < rows; ++r) {
            UnpackSamples(strip.get() + rowBytes * r, bits, width, raster.Row(top + r));
        }
    }
    return 0;
}

int DecodeIndexed(TIFF* tiff, int bits, int photometric, Raster& raster) {
    if (int error = AllocateRaster(raster, raster.width, raster.height, 8)) return error;
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) return kErrorCorrupt;
        const int count = 1 << bits;
        // Some writers store 8-bit values in the 16-bit map; libtiff reads those as they are.
        bool eightBit = true;
        for (int i = 0; i < count; ++i) eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < count; ++i) {
            raster.palette[i] =
                MakeEntry(static_cast<std::uint8_t>(red[i] >> shift), static_cast<std::uint8_t>(green[i] >> shift),
                          static_cast<std::uint8_t>(blue[i] >> shift));
        }
        raster.paletteCount = count;
    } else {
        FillGreyPalette(raster, bits);
        if (photometric == PHOTOMETRIC_MINISWHITE) {
            std::reverse(raster.palette.begin(), raster.palette.begin() + raster.paletteCount);
        }
    }
    return ReadIndices(tiff, bits, raster);
}

int DecodeRgba(TIFF* tiff, bool keepAlpha, Raster& raster) {
    char message[1024];
    RgbaReader reader;
    if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&reader.image, tiff, 1, message)) {
        return kErrorUnsupported;
    }
    reader.begun = true;
    reader.image.req_orientation = ORIENTATION_TOPLEFT;
    if (int error = AllocateRaster(raster, raster.width, raster.height, keepAlpha ? 32 : 24)) return error;
    constexpr std::uint32_t kBand = 64;
    std::vector<std::uint32_t> band(static_cast<std::size_t>(raster.width) * kBand);
    for (std::uint32_t top = 0; top < raster.height; top += kBand) {
        const std::uint32_t rows = std::min(kBand, raster.height - top);
        reader.image.row_offset = static_cast<int>(top);
        reader.image.col_offset = 0;
        if (!TIFFRGBAImageGet(&reader.image, band.data(), raster.width, rows)) return kErrorCorrupt;
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint32_t* from = band.data() + static_cast<std::size_t>(raster.width) * r;
            std::uint8_t* to = raster.Row(top + r);
            for (std::uint32_t x = 0; x < raster.width; ++x) {
                const std::uint32_t pixel = from[x];
                const unsigned alpha = TIFFGetA(pixel);
                unsigned channel[3] = {TIFFGetR(pixel), TIFFGetG(pixel), TIFFGetB(pixel)};
                // libtiff hands out premultiplied colour; the raster holds straight alpha.
                if (alpha != 0 && alpha != 255) {
                    for (unsigned& c : channel) c = std::min(255u, (c * 255 + alpha / 2) / alpha);
                }
                for (unsigned c : channel) *to++ = static_cast<std::uint8_t>(c);
                if (keepAlpha) *to++ = static_cast<std::uint8_t>(alpha);
            }
        }
    }
    return 0;
}

}  // namespace

int TiffHeader(Bytes bytes, int page, HeaderInfo& info) {
    TiffPage tiff(bytes, page);
    if (tiff.error) return tiff.error;
    std::uint16_t bits = 1, samples = 1;
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    // Both are stored values: a damaged file may give any two, and their product must not overflow.
    info.bitsPerPixel = static_cast<int>(std::min<std::uint32_t>(std::uint32_t{bits} * samples, 0x7FFFFFFF));
    return 0;
}

bool TiffResolution(Bytes bytes, int page, RawResolution& resolution) {
    TiffPage tiff(bytes, page);
    float x = 0, y = 0;
    if (tiff.error || !TIFFGetField(tiff.tiff, TIFFTAG_XRESOLUTION, &x)) return false;
    if (!TIFFGetField(tiff.tiff, TIFFTAG_YRESOLUTION, &y)) y = x;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    resolution = {ToInt(x), ToInt(y), unit};
    return true;
}

int TiffDecode(Bytes bytes, Layout layout, int page, Raster& out) {
    TiffPage tiff(bytes, page);
    if (tiff.error) return tiff.error;
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff.tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.tiff, TIFFTAG_IMAGELENGTH, &height);
    if (int error = CheckSize(width, height)) return error;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t compression = COMPRESSION_NONE, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff.tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff.tiff, TIFFTAG_PLANARCONFIG, &planar);
    // Uncompressed data must all be there before the raster is allocated; compressed data is
    // checked by the decompressors as it is read.
    if (compression == COMPRESSION_NONE) {
        const std::uint64_t raw = TIFFIsTiled(tiff.tiff) ? TIFFTileSize64(tiff.tiff) * TIFFNumberOfTiles(tiff.tiff)
                                                         : TIFFVStripSize64(tiff.tiff, height) *
                                                               (planar == PLANARCONFIG_SEPARATE ? samples : 1);
        if (raw == 0 || raw > bytes.size()) return kErrorTooLarge;
    }

    Raster raster;
    raster.width = width;
    raster.height = height;
    const bool wantIndices = layout == Layout::Indexed8 || layout == Layout::Bits1;
    const bool indexed = samples == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8) &&
                         (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
                          photometric == PHOTOMETRIC_PALETTE);
    int error = 0;
    if (wantIndices && indexed) {
        error = DecodeIndexed(tiff.tiff, bits, photometric, raster);
    } else {
        error = DecodeRgba(tiff.tiff, layout == Layout::Rgba32, raster);
        if (!error && layout == Layout::Bits1) {
            Raster grey;
            error = QuantiseTo8(raster, nullptr, 0, grey);
            if (!error) raster = std::move(grey);
        }
    }
    if (error) return error;
    if (layout == Layout::Bits1) ToWhiteAndBlack(raster);
    out = std::move(raster);
    return 0;
}

}  // namespace image_codec
