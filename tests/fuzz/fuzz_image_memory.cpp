// Feeds arbitrary bytes to the picture class as a memory block of unknown format, then puts a
// decoded picture through what the page view does with one: full colour, scaled, drawn.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/image/cis_image_ex.h"
#include "graphics/image/raster_surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CISImageEx image;
    if (image.LoadMemory(data, size, true, CISImageEx::kUnknown, 0) != 0) return 0;
    // Some formats legitimately give a huge picture for a few bytes (a fax page of blank rows);
    // decoding one is tested, but taking it through 32 bits and a resize only costs time.
    constexpr std::uint64_t kMaxWorkedPixels = 4 * 1024 * 1024;
    if (static_cast<std::uint64_t>(image.Width()) * image.Height() > kMaxWorkedPixels) return 0;
    if (image.ConvertTo32() != 0) return 0;
    const std::uint32_t width = image.Width() > 1 ? image.Width() / 2 : 1;
    const std::uint32_t height = image.Height() > 1 ? image.Height() / 2 : 1;
    if (image.Resize(width, height) != 0) return 0;
    constexpr int kSide = 64;
    std::vector<std::uint8_t> pixels(kSide * kSide * 4, 0x80);
    const RasterSurface surface{pixels.data(), kSide, kSide, kSide * 4};
    image.Draw(surface, -3, 5);
    return 0;
}
