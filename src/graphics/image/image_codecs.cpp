#include "graphics/image/image_codecs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>
#include <utility>

#include "graphics/image/codec_families.h"
#include "platform/host_path.h"

namespace image_codec {

namespace {

bool StartsWith(Bytes bytes, std::initializer_list<std::uint8_t> signature, std::size_t offset = 0) {
    if (bytes.size() < offset + signature.size()) return false;
    return std::equal(signature.begin(), signature.end(), bytes.begin() + offset);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A Windows metafile: the placeable header's key, or a bare header (memory or disk type, nine
// words long, version 1 or 3).
bool IsWmf(Bytes bytes) {
    if (StartsWith(bytes, {0xD7, 0xCD, 0xC6, 0x9A})) return true;
    if (bytes.size() < 18) return false;
    ByteReader in(bytes);
    const std::uint16_t type = in.U16Le();
    const std::uint16_t headerWords = in.U16Le();
    const std::uint16_t version = in.U16Le();
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

// An enhanced metafile starts with its header record (type 1) carrying " EMF" at offset 40.
bool IsEmf(Bytes bytes) {
    return StartsWith(bytes, {1, 0, 0, 0}) && StartsWith(bytes, {' ', 'E', 'M', 'F'}, 40);
}

// 1 bit from a two-colour 8-bit raster: the indices must be 0 or 1.
int PackTwoColours(const Raster& in, Raster& out) {
    if (in.depth != 8 || in.paletteCount > 2) return kErrorUnsupported;
    for (std::uint32_t y = 0; y < in.height; ++y) {
        const std::uint8_t* row = in.Row(y);
        for (std::uint32_t x = 0; x < in.width; ++x) {
            if (row[x] > 1) return kErrorUnsupported;
        }
    }
    Raster packed;
    if (int error = AllocateRaster(packed, in.width, in.height, 1)) return error;
    for (std::uint32_t y = 0; y < in.height; ++y) {
        const std::uint8_t* row = in.Row(y);
        std::uint8_t* bits = packed.Row(y);
        std::memset(bits, 0, packed.RowBytes());
        for (std::uint32_t x = 0; x < in.width; ++x) {
            if (row[x]) bits[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        }
    }
    packed.palette = in.palette;
    packed.paletteCount = in.paletteCount;
    out = std::move(packed);
    return 0;
}

// Brings a decoder's raster to the layout asked for; raster is replaced only on success.
int Conform(Raster& raster, Layout layout) {
    Raster next;
    int error = 0;
    switch (layout) {
        case Layout::Bits1:
            if (raster.depth == 1) return 0;
            error = PackTwoColours(raster, next);
            break;
        case Layout::Indexed8:
            if (raster.depth == 8) return 0;
            if (raster.depth == 1) {
                error = ExpandBitsTo8(raster, next);
            } else if (raster.depth == 24) {
                error = QuantiseTo8(raster, nullptr, 0, next);
            } else {
                Raster rgb;
                error = DropAlpha(raster, rgb);
                if (!error) error = QuantiseTo8(rgb, nullptr, 0, next);
            }
            break;
        case Layout::Rgb24:
        case Layout::Rgba32: {
            const std::uint32_t want = layout == Layout::Rgb24 ? 24 : 32;
            if (raster.depth == want) return 0;
            if (raster.depth == 32) {
                error = DropAlpha(raster, next);
                break;
            }
            Raster indexed;
            const Raster* from = &raster;
            if (raster.depth == 1) {
                error = ExpandBitsTo8(raster, indexed);
                from = &indexed;
            }
            Raster rgb;
            if (!error && from->depth == 8) {
                error = ExpandIndexedTo24(*from, rgb);
                from = &rgb;
            }
            if (!error && want == 32) {
                error = AddAlpha(*from, 255, next);
            } else if (!error) {
                next = std::move(rgb);
            }
            break;
        }
    }
    if (error) return error;
    raster = std::move(next);
    return 0;
}

}  // namespace

int CheckSize(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) return kErrorCorrupt;
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) return kErrorTooLarge;
    return 0;
}

std::size_t RowBytes(std::uint32_t width, std::uint32_t depth) {
    switch (depth) {
        case 1:
            return (static_cast<std::size_t>(width) + 7) / 8;
        case 8:
            return width;
        case 24:
            return 3 * static_cast<std::size_t>(width);
        case 32:
            return 4 * static_cast<std::size_t>(width);
        default:
            return 0;
    }
}

namespace {

std::atomic<std::uint64_t> decodedBytes{0};

}  // namespace

std::uint64_t DecodedBytesInUse() {
    return decodedBytes.load();
}

void BudgetedDelete::operator()(std::uint8_t* pixels) const {
    delete[] pixels;
    decodedBytes -= bytes;
}

int AllocateRaster(Raster& raster, std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
    if (RowBytes(1, depth) == 0 || width == 0 || height == 0) return kErrorBadArgument;
    if (CheckSize(width, height)) return kErrorTooLarge;
    const std::size_t bytes = RowBytes(width, depth) * height;
    if (decodedBytes.fetch_add(bytes) + bytes > kDecodedByteBudget) {
        decodedBytes -= bytes;
        return kErrorTooLarge;
    }
    try {
        raster.pixels = RasterPixels(new std::uint8_t[bytes], BudgetedDelete{bytes});
    } catch (const std::bad_alloc&) {
        decodedBytes -= bytes;
        return kErrorOutOfMemory;
    }
    raster.width = width;
    raster.height = height;
    raster.depth = depth;
    return 0;
}

void FillGreyPalette(Raster& raster, int bits) {
    const int levels = 1 << bits;
    for (int i = 0; i < levels; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (levels - 1));
        raster.palette[i] = MakeEntry(grey, grey, grey);
    }
    raster.paletteCount = levels;
}

int Source::OpenFile(const std::string& path) {
    Close();
    // A named pipe in the place of a picture must not block the player.
    int descriptor = OpenRegularFile(path);
    std::unique_ptr<std::FILE, FileCloser> file(descriptor >= 0 ? fdopen(descriptor, "rb") : nullptr);
    if (descriptor >= 0 && !file) close(descriptor);
    struct stat info;
    if (!file || fstat(fileno(file.get()), &info) != 0 || static_cast<std::uint64_t>(info.st_size) > kMaxFileBytes) {
        return kErrorCannotOpen;
    }
    try {
        owned.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        return kErrorOutOfMemory;
    }
    if (!owned.empty() && std::fread(owned.data(), 1, owned.size(), file.get()) != owned.size()) {
        owned.clear();
        return kErrorCannotOpen;
    }
    bytes = owned;
    open = true;
    return 0;
}

int Source::OpenMemory(const std::uint8_t* data, std::size_t length) {
    Close();
    if (data == nullptr && length != 0) return kErrorBadArgument;
    bytes = std::span<const std::uint8_t>(data, length);
    open = true;
    return 0;
}

void Source::Close() {
    owned.clear();
    owned.shrink_to_fit();
    bytes = {};
    open = false;
}

namespace {

bool IsPng(Bytes bytes) {
    return StartsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
}
bool IsJpeg(Bytes bytes) {
    return StartsWith(bytes, {0xFF, 0xD8, 0xFF});
}
bool IsBmp(Bytes bytes) {
    return bytes.size() >= 26 && StartsWith(bytes, {'B', 'M'});
}
bool IsTiff(Bytes bytes) {
    return StartsWith(bytes, {'I', 'I', 42, 0}) || StartsWith(bytes, {'M', 'M', 0, 42}) ||
           StartsWith(bytes, {'I', 'I', 43, 0}) || StartsWith(bytes, {'M', 'M', 0, 43});
}
bool IsPsd(Bytes bytes) {
    return StartsWith(bytes, {'8', 'B', 'P', 'S', 0, 1});
}
bool IsPcd(Bytes bytes) {
    return StartsWith(bytes, {'P', 'C', 'D', '_', 'I', 'P', 'I'}, 2048);
}

// What the layer knows of one family: how to recognise it, and the readers it has (none where
// the family is only recognised).
struct Codec {
    Family family;
    bool (*sniff)(Bytes);
    int (*header)(Bytes, int page, HeaderInfo&);
    bool (*resolution)(Bytes, int page, RawResolution&);
    int (*decode)(Bytes, Layout, int page, DrawSize, Raster&);
};

// In the order of recognition: the formats with a signature first, then those without one,
// each checked for a consistent header.
constexpr Codec kCodecs[] = {
    {Family::Png, IsPng, [](Bytes b, int, HeaderInfo& i) { return PngHeader(b, i); },
     [](Bytes b, int, RawResolution& r) { return PngResolution(b, r); },
     [](Bytes b, Layout l, int, DrawSize, Raster& o) { return PngDecode(b, l, o); }},
    {Family::Jpeg, IsJpeg, [](Bytes b, int, HeaderInfo& i) { return JpegHeader(b, i); },
     [](Bytes b, int, RawResolution& r) { return JpegResolution(b, r); },
     [](Bytes b, Layout l, int, DrawSize d, Raster& o) { return JpegDecode(b, l, d, o); }},
    {Family::Bmp, IsBmp, [](Bytes b, int, HeaderInfo& i) { return BmpHeader(b, i); },
     [](Bytes b, int, RawResolution& r) { return BmpResolution(b, r); },
     [](Bytes b, Layout l, int, DrawSize, Raster& o) { return BmpDecode(b, l, o); }},
    {Family::Tiff, IsTiff, TiffHeader, TiffResolution,
     [](Bytes b, Layout l, int page, DrawSize, Raster& o) { return TiffDecode(b, l, page, o); }},
    {Family::Psd, IsPsd, [](Bytes b, int, HeaderInfo& i) { return PsdHeader(b, i); }, nullptr,
     [](Bytes b, Layout l, int, DrawSize, Raster& o) { return PsdDecode(b, l, o); }},
    {Family::Wmf, IsWmf, nullptr, nullptr, nullptr},
    {Family::Emf, IsEmf, nullptr, nullptr, nullptr},
    {Family::Pcd, IsPcd, nullptr, nullptr, nullptr},
    {Family::Pcx, PcxLooksValid, [](Bytes b, int, HeaderInfo& i) { return PcxHeader(b, i); }, nullptr,
     [](Bytes b, Layout l, int, DrawSize, Raster& o) { return PcxDecode(b, l, o); }},
    {Family::Wbmp, WbmpLooksValid, nullptr, nullptr,
     [](Bytes b, Layout, int, DrawSize, Raster& o) { return WbmpDecode(b, o); }},
    {Family::Tga, TgaLooksValid, [](Bytes b, int, HeaderInfo& i) { return TgaHeader(b, i); }, nullptr,
     [](Bytes b, Layout l, int, DrawSize, Raster& o) { return TgaDecode(b, l, o); }},
};

const Codec* CodecOf(Family family) {
    for (const Codec& codec : kCodecs) {
        if (codec.family == family) return &codec;
    }
    return nullptr;
}

}  // namespace

Family GuessFamily(Bytes bytes) {
    for (const Codec& codec : kCodecs) {
        if (codec.sniff(bytes)) return codec.family;
    }
    return Family::Unknown;
}

int ReadHeader(Family family, Bytes bytes, int page, HeaderInfo& info) {
    info = HeaderInfo{};
    const Codec* codec = CodecOf(family);
    return codec && codec->header ? codec->header(bytes, page, info) : kErrorUnsupported;
}

bool ReadResolution(Family family, Bytes bytes, int page, RawResolution& resolution) {
    resolution = RawResolution{};
    const Codec* codec = CodecOf(family);
    return codec && codec->resolution && codec->resolution(bytes, page, resolution);
}

int Decode(Family family, Bytes bytes, Layout layout, int page, Raster& out, DrawSize drawn) try {
    Raster raster;
    const Codec* codec = CodecOf(family);
    int error = codec && codec->decode ? codec->decode(bytes, layout, page, drawn, raster) : kErrorUnsupported;
    if (!error) error = Conform(raster, layout);
    if (error) return error;
    out = std::move(raster);
    return 0;
} catch (const std::bad_alloc&) {
    // Scratch buffers of the decoders; the rasters themselves report through AllocateRaster.
    return kErrorOutOfMemory;
}

}  // namespace image_codec
