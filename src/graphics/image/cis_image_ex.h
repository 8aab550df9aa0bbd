#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "graphics/image/image_codecs.h"
#include "graphics/image/raster_surface.h"

// The one picture class of the player: page backgrounds, image objects, button states, skins,
// the window-shape mask and the splash screen all load, convert, scale and draw through it.
//
// Operations return 0 on success, 1 when memory runs out, 2 for an empty file name, 5 for an
// empty image, an unknown format or an invalid request, and any other value is the codec
// layer's error (image_codecs.h). Conversions and Resize build their result aside and leave
// the image as it was when they fail.
class CISImageEx {
public:
    // Format codes: what the pixels were decoded from.
    enum Format : std::int32_t {
        kJpeg = 0,
        kJpegGrey = 1,  // 8 bits, 256 grey levels
        kBmp = 2,
        kBmpIndexed = 3,  // 2 to 8 bits per pixel: 8 bits with the file's palette
        kPcx = 4,
        kPcxIndexed = 5,
        kPng = 6,  // 24 bits, any alpha dropped
        kPngPalette = 7,
        kPngAlpha = 8,  // 32 bits
        kTiff = 9,
        kTiffIndexed = 10,  // 8 bits, palette count 256
        kTiff32 = 11,
        kTga = 12,
        kTgaIndexed = 13,
        kWmf = 14,
        kEmf = 15,
        kPsd = 16,
        kPsdIndexed = 17,  // bitmap, greyscale, indexed or duotone colour mode
        kWbmp = 18,        // 8 bits, palette count 2
        kTiff1Bit = 19,    // palette: 0 white, 1 black
        kPng1Bit = 20,
        kBmp1Bit = 21,
        kPcd = 22,
        kUnknown = 23,  // as a request: detect
    };

    // Result codes the class gives itself.
    enum Result : int { kOk = 0, kOutOfMemory = 1, kEmptyFileName = 2, kInvalid = 5 };

    // Resolution units.
    enum Unit : std::int32_t { kUnitAspectOnly = 1, kUnitInch = 2, kUnitCentimetre = 3 };

    CISImageEx() = default;
    virtual ~CISImageEx() = default;
    CISImageEx(const CISImageEx&) = delete;
    CISImageEx& operator=(const CISImageEx&) = delete;
    CISImageEx(CISImageEx&&) = default;
    CISImageEx& operator=(CISImageEx&&) = default;

    // Loads a picture from a host path (Free first, whatever happens). formatCode 23 detects
    // the format from the content, then the extension, then refines it by the header.
    // keepAlpha false turns a PNG with alpha into 24 bits. page selects the TIFF page. A
    // caller that will scale the picture to a known size passes it as drawn: a JPEG then
    // decodes straight to a size between that and the stored one.
    int LoadFile(const std::string& path, bool keepAlpha = true, int formatCode = kUnknown, int page = 0,
                 image_codec::DrawSize drawn = {});
    // The same from a memory block (only the content can tell the format); source name
    // "memory". Metafiles and Photo CD pictures are recognised but not decoded: 5.
    int LoadMemory(const std::uint8_t* data, std::size_t length, bool keepAlpha = true, int formatCode = kUnknown,
                   int page = 0);

    // Frees the pixels, then allocates an uninitialised raster; 5 for a bad size or depth,
    // 1 when the raster cannot be had.
    int Allocate(std::uint32_t width, std::uint32_t height, std::uint32_t depth);
    // Deep copy of other's raster, palette, format code, resolution, source name and page.
    int CopyFrom(const CISImageEx& other);
    // Moves other's raster here without copying (other becomes empty) with its size, depth,
    // palette, format code and resolution; 5 when other has no pixels.
    int TakeFrom(CISImageEx& other);
    // CopyFrom and Resize in one, without a copy at other's size in between.
    int CopyResized(const CISImageEx& other, std::uint32_t width, std::uint32_t height);

    // 1 or 24 bits to 8 (8 bits: nothing to do). From 24 bits with a palette, the pixels map
    // onto its first count (at most 256) entries and it becomes the image's palette; without
    // one a palette of 256 entries is computed. 1 bit expands with the palette kept, count 256.
    int ConvertTo8(const image_codec::PaletteEntry* palette = nullptr, int count = 0);
    int ConvertTo24();
    int ConvertTo32();
    // Bilinear to exactly width x height at the current depth; the same size changes nothing.
    int Resize(std::uint32_t width, std::uint32_t height);
    // Draws the whole image unscaled with its top-left corner at (x, y), clipped to the
    // surface; 32 bits blend with their alpha, the others are opaque.
    int Draw(const RasterSurface& surface, int x, int y) const;

    // Releases the pixels and zeroes width, height, depth and palette count.
    virtual void Free();

    std::size_t RowBytes() const { return raster.RowBytes(); }
    std::size_t ByteSize() const { return raster.ByteSize(); }
    bool IsEmpty() const { return !raster.pixels; }

    std::uint32_t Width() const { return raster.width; }
    std::uint32_t Height() const { return raster.height; }
    std::uint32_t Depth() const { return raster.depth; }
    std::int32_t PaletteCount() const { return raster.paletteCount; }
    const image_codec::Palette& Palette() const { return raster.palette; }
    // Sets the palette of an 8- or 1-bit image (count capped at 256).
    void SetPalette(const image_codec::PaletteEntry* entries, int count);
    std::int32_t FormatCode() const { return formatCode; }
    std::int32_t ResolutionX() const { return resolutionX; }
    std::int32_t ResolutionY() const { return resolutionY; }
    std::int32_t ResolutionUnit() const { return resolutionUnit; }
    const std::string& SourceName() const { return sourceName; }
    std::int32_t Page() const { return page; }
    std::uint8_t* Pixels() { return raster.pixels.get(); }
    const std::uint8_t* Pixels() const { return raster.pixels.get(); }
    // True when the pixels came from a decoder, false when the image allocated them.
    bool PixelsOwnedByCodec() const { return pixelsOwnedByCodec; }

private:
    int Load(image_codec::Source& source, const std::string& name, bool keepAlpha, int formatCode, int page,
             image_codec::DrawSize drawn = {});
    // Replaces the raster with a converted one of the same picture (format code, resolution
    // and source name stay).
    int AdoptConverted(image_codec::Raster&& converted);
    // Takes pixels made from other (a copy, or a scaled copy) with other's description.
    void AdoptCopy(const CISImageEx& other, image_codec::Raster&& pixels);

    std::int32_t resolutionX = 0;
    std::int32_t resolutionY = 0;
    std::int32_t resolutionUnit = 0;
    image_codec::Raster raster;
    std::int32_t formatCode = kUnknown;
    std::string sourceName;
    std::int32_t page = 0;
    bool pixelsOwnedByCodec = true;
};

// Loads the picture at path into a scratch image and, on success, stores its size; on failure
// width and height are left as they were. Returns the load's result.
int QueryImageSize(const std::string& path, std::uint32_t& width, std::uint32_t& height);
