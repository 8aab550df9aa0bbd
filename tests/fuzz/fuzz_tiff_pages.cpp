// Feeds arbitrary bytes to the picture class as a memory block to be read at a page past the
// first: the first byte picks page 1, 2 or 3, the rest is the picture (mostly multi-page TIFFs).
// A page that loads is that page, not empty; a picture of another format ignores the page and
// reads as it does at page 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "graphics/image/cis_image_ex.h"
#include "graphics/image/image_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int page = 1 + data[0] % 3;
    const std::uint8_t* bytes = data + 1;
    const std::size_t length = size - 1;

    CISImageEx image;
    const int result = image.LoadMemory(bytes, length, true, CISImageEx::kUnknown, page);
    if (result == 0 && (image.Page() != page || image.IsEmpty() || image.Width() == 0 || image.Height() == 0)) {
        std::abort();
    }
    if (image_codec::GuessFamily(std::span<const std::uint8_t>(bytes, length)) != image_codec::Family::Tiff) {
        CISImageEx first;
        const int firstResult = first.LoadMemory(bytes, length, true, CISImageEx::kUnknown, 0);
        if (firstResult != result || first.Width() != image.Width() || first.Height() != image.Height() ||
            first.Depth() != image.Depth()) {
            std::abort();
        }
        return 0;
    }
    if (result != 0) return 0;
    // Going to 32 bits touches every pixel of the page; a huge page from a few bytes only costs time.
    constexpr std::uint64_t kMaxWorkedPixels = 4 * 1024 * 1024;
    if (static_cast<std::uint64_t>(image.Width()) * image.Height() <= kMaxWorkedPixels) image.ConvertTo32();
    return 0;
}
