#pragma once

// The image codec layer under CISImageEx: decoding sources, format guessing, header and
// resolution reading, decoders per format family, and the raster operations (depth
// conversions, quantising, resampling, drawing). Every call returns 0 or one of the error
// codes below; nothing here throws.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "graphics/image/raster_surface.h"

namespace image_codec {

// Error codes of the codec layer. They start above the codes CISImageEx gives itself
// (1 out of memory, 2 empty file name, 5 no pixels or unknown format), so a caller that logs
// a failure can tell who reported it.
enum : int {
    kErrorCannotOpen = 20,   // file missing, unreadable, a folder or beyond kMaxFileBytes
    kErrorUnsupported = 21,  // a variant of the format that this layer does not decode
    kErrorCorrupt = 22,      // damaged, truncated or inconsistent data
    kErrorTooLarge = 23,     // dimensions beyond the pixel limits or the bytes present
    kErrorOutOfMemory = 24,
    kErrorBadArgument = 25,  // an empty raster, a bad size or depth, a missing surface
    kErrorNoSuchPage = 26,   // a TIFF page index past the last page
};

// Pictures come from outside (data files, button files, the disk): sizes are checked against
// these limits and against the bytes present before any raster is allocated.
constexpr std::uint32_t kMaxSide = 16384;
constexpr std::uint64_t kMaxPixels = 256ull * 1024 * 1024;
constexpr std::uint64_t kMaxFileBytes = 1ull << 30;

// Checks a decoded size against the limits: kErrorCorrupt for an empty side, kErrorTooLarge
// beyond the limits, 0 otherwise.
int CheckSize(std::uint64_t width, std::uint64_t height);

struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    bool operator==(const PaletteEntry&) const = default;
};
using Palette = std::array<PaletteEntry, 256>;

inline PaletteEntry MakeEntry(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return PaletteEntry{blue, green, red, 0};
}

// Bytes per row of a tightly packed raster: (width + 7) / 8 for 1 bit, width for 8,
// 3 * width for 24, 4 * width for 32; 0 for any other depth.
std::size_t RowBytes(std::uint32_t width, std::uint32_t depth);

// A raster in the picture class's layout: rows top to bottom without padding; 24 bits are
// R, G, B; 32 bits R, G, B, A with straight alpha; 1 and 8 bits index the palette.
// The pixels of every live raster of the run are held to one budget: past it a picture does not
// decode (its object shows the placeholder), so that a few kilobytes of a hostile file cannot
// take gigabytes. Real menus stay far below it.
constexpr std::uint64_t kDecodedByteBudget = std::uint64_t{256} << 20;
// The bytes of the budget in use now.
std::uint64_t DecodedBytesInUse();

// Gives a raster's bytes back to the budget with its pixels.
struct BudgetedDelete {
    std::size_t bytes = 0;
    void operator()(std::uint8_t* pixels) const;
};
using RasterPixels = std::unique_ptr<std::uint8_t[], BudgetedDelete>;

struct Raster {
    Raster() = default;
    // A moved-from raster is empty, not a size without pixels.
    Raster(Raster&& other) noexcept { *this = std::move(other); }
    Raster& operator=(Raster&& other) noexcept {
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        depth = std::exchange(other.depth, 0);
        pixels = std::move(other.pixels);
        palette = other.palette;
        paletteCount = std::exchange(other.paletteCount, 0);
        return *this;
    }

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t depth = 0;
    RasterPixels pixels;
    Palette palette{};
    int paletteCount = 0;

    std::size_t RowBytes() const { return image_codec::RowBytes(width, depth); }
    std::size_t ByteSize() const { return RowBytes() * height; }
    std::uint8_t* Row(std::uint32_t y) { return pixels.get() + RowBytes() * y; }
    const std::uint8_t* Row(std::uint32_t y) const { return pixels.get() + RowBytes() * y; }
};

// Replaces raster's pixels with an uninitialised block for the given size and depth (the
// palette is kept). kErrorBadArgument for a depth other than 1, 8, 24, 32 or an empty side,
// kErrorTooLarge beyond the limits or the run's budget, kErrorOutOfMemory when the block cannot
// be had.
int AllocateRaster(Raster& raster, std::uint32_t width, std::uint32_t height, std::uint32_t depth);

// A decoding source: a whole file read into memory, or a caller's memory block (borrowed; it
// must outlive the source). Decoders always read from the start, so rewinding is implicit.
class Source {
public:
    int OpenFile(const std::string& path);
    int OpenMemory(const std::uint8_t* data, std::size_t length);
    void Close();
    std::span<const std::uint8_t> Bytes() const { return bytes; }
    bool IsOpen() const { return open; }

private:
    std::vector<std::uint8_t> owned;
    std::span<const std::uint8_t> bytes;
    bool open = false;
};

enum class Family { Unknown, Bmp, Jpeg, Png, Pcx, Tiff, Wmf, Emf, Psd, Wbmp, Tga, Pcd };

// Guesses the family from the content alone (signatures, and plausibility checks for the
// formats without one: WBMP and TGA).
Family GuessFamily(std::span<const std::uint8_t> bytes);

// What the header says, as far as the family reports it; -1 where it does not.
struct HeaderInfo {
    int bitsPerPixel = -1;  // all channels together
    int colourType = -1;    // PNG colour type
    int colourMode = -1;    // PSD colour mode
};
// Reads the header of a BMP, JPEG, PCX, PNG, TIFF (of the given page), TGA or PSD source;
// 0 on success.
int ReadHeader(Family family, std::span<const std::uint8_t> bytes, int page, HeaderInfo& info);

// PSD colour modes that hold one index or grey channel.
enum : int { kPsdBitmap = 0, kPsdGreyscale = 1, kPsdIndexed = 2, kPsdRgb = 3, kPsdDuotone = 8 };

// The resolution as the file stores it. unit: JPEG's density unit (0 aspect only, 1 per inch,
// 2 per centimetre), TIFF's resolution unit (1 none, 2 inch, 3 centimetre), or for BMP and
// PNG 1 when the values are per metre and 0 otherwise.
struct RawResolution {
    int x = 0;
    int y = 0;
    int unit = 0;
};
// Reads the resolution of a BMP, JPEG, PNG or TIFF source; false when the file holds none.
bool ReadResolution(Family family, std::span<const std::uint8_t> bytes, int page, RawResolution& resolution);

// The layouts a decode can be asked for.
enum class Layout {
    Bits1,     // 1 bit with the file's two-entry palette (TIFF: 0 white, 1 black)
    Indexed8,  // 8 bits with the file's palette, or grey levels
    Rgb24,
    Rgba32,
};

// The size a picture will be shown at, when the caller knows it. A codec that can decode a
// smaller picture directly (JPEG, in eighths) does so, never below this size; {0, 0} decodes
// the size stored.
struct DrawSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Decodes a source of the given family into out. A file that cannot give the layout directly
// is decoded in its own and converted (1 bit only from two-colour pictures). page selects the
// TIFF page and is ignored elsewhere.
int Decode(Family family, std::span<const std::uint8_t> bytes, Layout layout, int page, Raster& out,
           DrawSize drawn = {});

// Raster operations. Each builds a new raster in out (never aliasing in) and leaves out
// untouched on failure.

// 1 bit to 8 bits: one byte per pixel, the palette copied with count 256.
int ExpandBitsTo8(const Raster& in, Raster& out);
// 8 bits to 24: each index replaced by its palette colour.
int ExpandIndexedTo24(const Raster& in, Raster& out);
// 24 bits to 32 with the given alpha on every pixel.
int AddAlpha(const Raster& in, std::uint8_t alpha, Raster& out);
// 32 bits to 24, alpha dropped.
int DropAlpha(const Raster& in, Raster& out);
// 24 bits to 8. With a palette (count 1 to 256) the pixels map to its nearest entries and it
// becomes out's palette. Without one, a picture of at most 256 colours keeps them exactly and
// any other maps onto a 6 x 7 x 6 colour cube; the count is then 256.
int QuantiseTo8(const Raster& in, const PaletteEntry* palette, int count, Raster& out);
// Bilinear resampling to width x height at any depth. 1 and 8 bits interpolate the palette
// colours and map back to the nearest entry; 32 bits interpolate with alpha weighting so that
// transparent pixels lend no colour to their neighbours.
int Resample(const Raster& in, std::uint32_t width, std::uint32_t height, Raster& out);
// Draws the whole raster unscaled with its top-left corner at (x, y), clipped to the surface.
// 1, 8 and 24 bits are copied (opaque); 32 bits are blended with straight alpha.
int DrawRaster(const Raster& in, const RasterSurface& surface, int x, int y);

}  // namespace image_codec
