#include "graphics/image/cis_image_ex.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/ascii_case.h"

using image_codec::Family;
using image_codec::Layout;

namespace {

using Bytes = std::span<const std::uint8_t>;

int BaseCode(Family family) {
    switch (family) {
        case Family::Bmp:
            return CISImageEx::kBmp;
        case Family::Jpeg:
            return CISImageEx::kJpeg;
        case Family::Png:
            return CISImageEx::kPng;
        case Family::Pcx:
            return CISImageEx::kPcx;
        case Family::Tiff:
            return CISImageEx::kTiff;
        case Family::Wmf:
            return CISImageEx::kWmf;
        case Family::Emf:
            return CISImageEx::kEmf;
        case Family::Psd:
            return CISImageEx::kPsd;
        case Family::Wbmp:
            return CISImageEx::kWbmp;
        case Family::Tga:
            return CISImageEx::kTga;
        case Family::Pcd:
            return CISImageEx::kPcd;
        default:
            return CISImageEx::kUnknown;
    }
}

// The extension is everything from the last dot of the name on.
int CodeFromExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return CISImageEx::kUnknown;
    const std::string_view extension = std::string_view(name).substr(dot);
    static constexpr std::pair<std::string_view, int> kExtensions[] = {
        {".bmp", CISImageEx::kBmp},  {".wbmp", CISImageEx::kWbmp}, {".wbm", CISImageEx::kWbmp},
        {".tga", CISImageEx::kTga},  {".jpeg", CISImageEx::kJpeg}, {".jpg", CISImageEx::kJpeg},
        {".tif", CISImageEx::kTiff}, {".tiff", CISImageEx::kTiff}, {".pcx", CISImageEx::kPcx},
        {".png", CISImageEx::kPng},  {".wmf", CISImageEx::kWmf},   {".emf", CISImageEx::kEmf},
    };
    for (const auto& [known, code] : kExtensions) {
        if (EqualsIgnoringAsciiCase(extension, known)) return code;
    }
    return CISImageEx::kUnknown;
}

// The family a base code's header is read as.
Family FamilyOfBaseCode(int code) {
    switch (code) {
        case CISImageEx::kBmp:
            return Family::Bmp;
        case CISImageEx::kJpeg:
            return Family::Jpeg;
        case CISImageEx::kPcx:
            return Family::Pcx;
        case CISImageEx::kPng:
            return Family::Png;
        case CISImageEx::kTiff:
            return Family::Tiff;
        case CISImageEx::kTga:
            return Family::Tga;
        case CISImageEx::kPsd:
            return Family::Psd;
        default:
            return Family::Unknown;
    }
}

// Content first, then the name's extension, then the header's details.
int DetectFormat(Bytes bytes, const std::string& name, int page) {
    int code = BaseCode(image_codec::GuessFamily(bytes));
    if (code == CISImageEx::kUnknown && !name.empty()) code = CodeFromExtension(name);
    const Family family = FamilyOfBaseCode(code);
    image_codec::HeaderInfo header;
    if (family == Family::Unknown || image_codec::ReadHeader(family, bytes, page, header) != 0) {
        return code;
    }
    const int bits = header.bitsPerPixel;
    switch (code) {
        case CISImageEx::kBmp:
            if (bits == 1) return CISImageEx::kBmp1Bit;
            if (bits >= 2 && bits <= 8) return CISImageEx::kBmpIndexed;
            return code;
        case CISImageEx::kJpeg:
            return bits <= 8 ? CISImageEx::kJpegGrey : code;
        case CISImageEx::kPcx:
            return bits <= 8 ? CISImageEx::kPcxIndexed : code;
        case CISImageEx::kPng:
            if (bits == 1) return CISImageEx::kPng1Bit;
            if (header.colourType == 6) return CISImageEx::kPngAlpha;
            if (header.colourType == 3 && bits <= 8) return CISImageEx::kPngPalette;
            return code;
        case CISImageEx::kTiff:
            if (bits == 32) return CISImageEx::kTiff32;
            if (bits > 8) return CISImageEx::kTiff;
            if (bits == 1) return CISImageEx::kTiff1Bit;
            return CISImageEx::kTiffIndexed;
        case CISImageEx::kTga:
            return bits <= 8 ? CISImageEx::kTgaIndexed : code;
        case CISImageEx::kPsd:
            switch (header.colourMode) {
                case image_codec::kPsdBitmap:
                case image_codec::kPsdGreyscale:
                case image_codec::kPsdIndexed:
                case image_codec::kPsdDuotone:
                    return CISImageEx::kPsdIndexed;
                default:
                    return code;
            }
        default:
            return code;
    }
}

// What each format code decodes from and to. Metafiles and Photo CD have no decoder.
struct Decoding {
    Family family;
    Layout layout;
};
constexpr Decoding kDecodings[] = {
    {Family::Jpeg, Layout::Rgb24},    {Family::Jpeg, Layout::Indexed8}, {Family::Bmp, Layout::Rgb24},
    {Family::Bmp, Layout::Indexed8},  {Family::Pcx, Layout::Rgb24},     {Family::Pcx, Layout::Indexed8},
    {Family::Png, Layout::Rgb24},     {Family::Png, Layout::Indexed8},  {Family::Png, Layout::Rgba32},
    {Family::Tiff, Layout::Rgb24},    {Family::Tiff, Layout::Indexed8}, {Family::Tiff, Layout::Rgba32},
    {Family::Tga, Layout::Rgb24},     {Family::Tga, Layout::Indexed8},  {Family::Unknown, Layout::Rgb24},
    {Family::Unknown, Layout::Rgb24}, {Family::Psd, Layout::Rgb24},     {Family::Psd, Layout::Indexed8},
    {Family::Wbmp, Layout::Indexed8}, {Family::Tiff, Layout::Bits1},    {Family::Png, Layout::Bits1},
    {Family::Bmp, Layout::Bits1},     {Family::Unknown, Layout::Rgb24},
};

struct Resolution {
    std::int32_t x = 300;
    std::int32_t y = 300;
    std::int32_t unit = CISImageEx::kUnitAspectOnly;
};

Resolution ResolutionFor(int code, Family family, Bytes bytes, int page) {
    Resolution result;
    image_codec::RawResolution raw;
    switch (code) {
        case CISImageEx::kJpeg:
        case CISImageEx::kJpegGrey:
            if (!image_codec::ReadResolution(family, bytes, page, raw)) break;
            result = {raw.x, raw.y,
                      raw.unit == 1   ? CISImageEx::kUnitInch
                      : raw.unit == 2 ? CISImageEx::kUnitCentimetre
                                      : CISImageEx::kUnitAspectOnly};
            break;
        case CISImageEx::kTiff:
        case CISImageEx::kTiffIndexed:
        case CISImageEx::kTiff32:
        case CISImageEx::kTiff1Bit:
            if (!image_codec::ReadResolution(family, bytes, page, raw)) break;
            result = {raw.x, raw.y,
                      raw.unit == 2   ? CISImageEx::kUnitInch
                      : raw.unit == 3 ? CISImageEx::kUnitCentimetre
                                      : CISImageEx::kUnitAspectOnly};
            break;
        case CISImageEx::kBmp:
        case CISImageEx::kBmpIndexed:
        case CISImageEx::kPng:
        case CISImageEx::kPngPalette:
        case CISImageEx::kPng1Bit:
            if (!image_codec::ReadResolution(family, bytes, page, raw)) break;
            if (raw.unit == 1) {
                result = {raw.x / 100, raw.y / 100, CISImageEx::kUnitCentimetre};
            } else {
                result = {raw.x, raw.y, CISImageEx::kUnitAspectOnly};
            }
            break;
        default:
            break;
    }
    return result;
}

}  // namespace

int CISImageEx::LoadFile(const std::string& path, bool keepAlpha, int formatCode, int page,
                         image_codec::DrawSize drawn) {
    Free();
    if (path.empty()) return kEmptyFileName;
    image_codec::Source source;
    if (int error = source.OpenFile(path)) {
        // Detection cannot tell anything about a file it cannot read.
        return formatCode == kUnknown ? kInvalid : error;
    }
    return Load(source, path, keepAlpha, formatCode, page, drawn);
}

int CISImageEx::LoadMemory(const std::uint8_t* data, std::size_t length, bool keepAlpha, int formatCode, int page) {
    Free();
    image_codec::Source source;
    if (data == nullptr || length == 0 || source.OpenMemory(data, length) != 0) return kInvalid;
    return Load(source, std::string(), keepAlpha, formatCode, page);
}

int CISImageEx::Load(image_codec::Source& source, const std::string& name, bool keepAlpha, int requestedCode,
                     int requestedPage, image_codec::DrawSize drawn) {
    if (requestedCode < 0 || requestedCode > kUnknown || requestedPage < 0) return kInvalid;
    const Bytes bytes = source.Bytes();
    int code = requestedCode == kUnknown ? DetectFormat(bytes, name, requestedPage) : requestedCode;
    if (code == kUnknown) return kInvalid;
    if (!keepAlpha && code == kPngAlpha) code = kPng;
    const Decoding decoding = kDecodings[code];
    // Metafiles would need a renderer and Photo CD its own decoder; both count as unreadable.
    if (decoding.family == Family::Unknown) return kInvalid;

    image_codec::Raster decoded;
    if (int error = image_codec::Decode(decoding.family, bytes, decoding.layout, requestedPage, decoded, drawn)) {
        return error;
    }
    if (code == kTiffIndexed) decoded.paletteCount = 256;
    const Resolution resolution = ResolutionFor(code, decoding.family, bytes, requestedPage);
    source.Close();

    raster = std::move(decoded);
    pixelsOwnedByCodec = true;
    resolutionX = resolution.x;
    resolutionY = resolution.y;
    resolutionUnit = resolution.unit;
    formatCode = code;
    sourceName = name.empty() ? "memory" : name;
    page = requestedPage;

    // Fax-style TIFFs store fewer rows than columns per inch; show them at their true aspect.
    // Should the stretched picture not fit the limits, it stays as stored.
    if ((code == kTiff || code == kTiffIndexed) && resolutionX != resolutionY && resolutionX != 0) {
        const double ratio = static_cast<double>(resolutionY) / resolutionX;
        if (ratio != 0 && std::fabs(1 - ratio) > 0.25) {
            const double height = std::trunc(raster.height / ratio);
            if (height >= 1 && height <= image_codec::kMaxSide) {
                Resize(raster.width, static_cast<std::uint32_t>(height));
            }
        }
    }
    return kOk;
}

int CISImageEx::Allocate(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
    Free();
    if (width == 0 || height == 0 || image_codec::RowBytes(1, depth) == 0) return kInvalid;
    if (image_codec::AllocateRaster(raster, width, height, depth) != 0) return kOutOfMemory;
    pixelsOwnedByCodec = false;
    return kOk;
}

int CISImageEx::CopyFrom(const CISImageEx& other) {
    if (&other == this) return IsEmpty() ? kInvalid : kOk;
    if (other.IsEmpty()) return kInvalid;
    image_codec::Raster copy;
    if (image_codec::AllocateRaster(copy, other.raster.width, other.raster.height, other.raster.depth)) {
        return kOutOfMemory;
    }
    std::memcpy(copy.pixels.get(), other.raster.pixels.get(), other.raster.ByteSize());
    copy.palette = other.raster.palette;
    copy.paletteCount = other.raster.paletteCount;
    AdoptCopy(other, std::move(copy));
    return kOk;
}

int CISImageEx::CopyResized(const CISImageEx& other, std::uint32_t width, std::uint32_t height) {
    if (&other == this) return Resize(width, height);
    if (other.IsEmpty() || width == 0 || height == 0) return kInvalid;
    if (width == other.raster.width && height == other.raster.height) return CopyFrom(other);
    image_codec::Raster resized;
    if (int error = image_codec::Resample(other.raster, width, height, resized)) return error;
    AdoptCopy(other, std::move(resized));
    return kOk;
}

void CISImageEx::AdoptCopy(const CISImageEx& other, image_codec::Raster&& pixels) {
    raster = std::move(pixels);
    pixelsOwnedByCodec = false;
    formatCode = other.formatCode;
    resolutionX = other.resolutionX;
    resolutionY = other.resolutionY;
    resolutionUnit = other.resolutionUnit;
    sourceName = other.sourceName;
    page = other.page;
}

int CISImageEx::TakeFrom(CISImageEx& other) {
    if (&other == this) return IsEmpty() ? kInvalid : kOk;
    if (other.IsEmpty()) return kInvalid;
    Free();
    raster = std::move(other.raster);
    other.raster.pixels.reset();
    pixelsOwnedByCodec = other.pixelsOwnedByCodec;
    formatCode = other.formatCode;
    resolutionX = other.resolutionX;
    resolutionY = other.resolutionY;
    resolutionUnit = other.resolutionUnit;
    other.Free();
    return kOk;
}

int CISImageEx::AdoptConverted(image_codec::Raster&& converted) {
    CISImageEx result;
    result.raster = std::move(converted);
    result.pixelsOwnedByCodec = true;
    result.formatCode = formatCode;
    result.resolutionX = resolutionX;
    result.resolutionY = resolutionY;
    result.resolutionUnit = resolutionUnit;
    return TakeFrom(result);
}

int CISImageEx::ConvertTo8(const image_codec::PaletteEntry* palette, int count) {
    if (IsEmpty()) return kInvalid;
    image_codec::Raster converted;
    int error = 0;
    switch (raster.depth) {
        case 8:
            return kOk;
        case 1:
            error = image_codec::ExpandBitsTo8(raster, converted);
            break;
        case 24:
            error = image_codec::QuantiseTo8(raster, palette, count, converted);
            break;
        default:
            return kInvalid;
    }
    return error ? error : AdoptConverted(std::move(converted));
}

int CISImageEx::ConvertTo24() {
    if (IsEmpty()) return kInvalid;
    image_codec::Raster converted;
    int error = 0;
    switch (raster.depth) {
        case 24:
            return kOk;
        case 32:
            error = image_codec::DropAlpha(raster, converted);
            break;
        case 1: {
            image_codec::Raster indexed;
            error = image_codec::ExpandBitsTo8(raster, indexed);
            if (!error) error = image_codec::ExpandIndexedTo24(indexed, converted);
            break;
        }
        default:
            error = image_codec::ExpandIndexedTo24(raster, converted);
            break;
    }
    return error ? error : AdoptConverted(std::move(converted));
}

int CISImageEx::ConvertTo32() {
    if (IsEmpty()) return kInvalid;
    if (raster.depth == 32) return kOk;
    image_codec::Raster converted;
    int error = 0;
    if (raster.depth == 24) {
        error = image_codec::AddAlpha(raster, 255, converted);
    } else {
        CISImageEx rgb;
        error = rgb.CopyFrom(*this);
        if (!error) error = rgb.ConvertTo24();
        if (!error) error = image_codec::AddAlpha(rgb.raster, 255, converted);
    }
    return error ? error : AdoptConverted(std::move(converted));
}

int CISImageEx::Resize(std::uint32_t width, std::uint32_t height) {
    if (IsEmpty() || width == 0 || height == 0) return kInvalid;
    if (width == raster.width && height == raster.height) return kOk;
    image_codec::Raster resized;
    if (int error = image_codec::Resample(raster, width, height, resized)) return error;
    return AdoptConverted(std::move(resized));
}

int CISImageEx::Draw(const RasterSurface& surface, int x, int y) const {
    if (IsEmpty()) return kInvalid;
    return image_codec::DrawRaster(raster, surface, x, y);
}

void CISImageEx::Free() {
    raster.pixels.reset();
    raster.width = 0;
    raster.height = 0;
    raster.depth = 0;
    raster.paletteCount = 0;
}

void CISImageEx::SetPalette(const image_codec::PaletteEntry* entries, int count) {
    count = std::clamp(count, 0, 256);
    raster.palette.fill(image_codec::PaletteEntry{});
    if (entries != nullptr) std::copy(entries, entries + count, raster.palette.begin());
    raster.paletteCount = entries != nullptr ? count : 0;
}

int QueryImageSize(const std::string& path, std::uint32_t& width, std::uint32_t& height) {
    CISImageEx image;
    const int result = image.LoadFile(path);
    if (result == CISImageEx::kOk) {
        width = image.Width();
        height = image.Height();
    }
    return result;
}
