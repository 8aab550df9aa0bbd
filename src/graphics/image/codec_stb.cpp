// The one place stb_image is compiled, limited to the formats it decodes for us.

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>

#include <climits>
#include <cstring>
#include <memory>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

int StbDecodeRgb(Bytes bytes, Raster& out) {
    if (bytes.size() > INT_MAX) return kErrorTooLarge;
    const int length = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels)) return kErrorCorrupt;
    if (int error = CheckSize(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))) {
        return error;
    }
    std::unique_ptr<stbi_uc, StbFree> pixels(
        stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 3));
    if (!pixels) return kErrorCorrupt;
    Raster raster;
    if (int error = AllocateRaster(raster, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 24)) {
        return error;
    }
    std::memcpy(raster.pixels.get(), pixels.get(), raster.ByteSize());
    out = std::move(raster);
    return 0;
}

}  // namespace image_codec
