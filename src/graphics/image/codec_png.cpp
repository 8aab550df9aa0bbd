// PNG through libpng. libpng reports errors by longjmp, so the two functions that call into it
// under setjmp own nothing with a destructor: the caller reads the header in one, allocates the
// raster itself, and decodes the rows in the other.

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Deflate expands a byte at most about 1032 times; more raw data than that allows cannot come
// from the bytes present.
constexpr std::uint64_t kMaxInflateRatio = 1100;

int ChannelsOf(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE:
            return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 0;
    }
}

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (count > input->size - input->position) png_error(png, "truncated");
    std::memcpy(out, input->data + input->position, count);
    input->position += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

class PngHandles {
public:
    PngHandles() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        if (png) info = png_create_info_struct(png);
    }
    ~PngHandles() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    PngHandles(const PngHandles&) = delete;
    PngHandles& operator=(const PngHandles&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// What the first phase learns; plain data, so that a longjmp can leave it behind safely.
struct PngPlan {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colourType;
    int channels;  // after the transformations
    std::size_t rowBytes;
    int paletteCount;
    png_color palette[256];
    int greyBits;  // grey pictures decoded to indices: the bits of their ramp
};

// Reads the header and chooses the transformations for the layout.
int ReadPngInfo(png_structp png, png_infop info, Layout layout, std::size_t inputSize, PngPlan* plan) {
    if (setjmp(png_jmpbuf(png))) return kErrorCorrupt;
    png_read_info(png, info);
    plan->width = png_get_image_width(png, info);
    plan->height = png_get_image_height(png, info);
    plan->bitDepth = png_get_bit_depth(png, info);
    plan->colourType = png_get_color_type(png, info);
    if (int error = CheckSize(plan->width, plan->height)) return error;
    const std::uint64_t rawRow =
        (static_cast<std::uint64_t>(plan->width) * plan->bitDepth * ChannelsOf(plan->colourType) + 7) / 8 + 1;
    if (rawRow * plan->height > kMaxInflateRatio * inputSize) return kErrorTooLarge;

    plan->paletteCount = 0;
    plan->greyBits = 0;
    const bool wantIndices = layout == Layout::Bits1 || layout == Layout::Indexed8;
    if (wantIndices && plan->colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) && count > 0) {
            plan->paletteCount = count > 256 ? 256 : count;
            std::memcpy(plan->palette, palette, sizeof(png_color) * plan->paletteCount);
        }
        png_set_packing(png);
    } else if (wantIndices &&
               (plan->colourType == PNG_COLOR_TYPE_GRAY || plan->colourType == PNG_COLOR_TYPE_GRAY_ALPHA)) {
        plan->greyBits = plan->bitDepth > 8 ? 8 : plan->bitDepth;
        png_set_packing(png);
        png_set_strip_16(png);
        png_set_strip_alpha(png);
    } else {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        if (layout == Layout::Rgba32) {
            png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        } else {
            png_set_strip_alpha(png);
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    plan->channels = png_get_channels(png, info);
    plan->rowBytes = png_get_rowbytes(png, info);
    return 0;
}

int ReadPngRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return kErrorCorrupt;
    png_read_image(png, rows);
    return 0;
}

}  // namespace

int PngHeader(Bytes bytes, HeaderInfo& info) {
    ByteReader in(bytes);
    const std::uint8_t* signature = in.Take(8);
    if (!signature || std::memcmp(signature, kSignature, 8) != 0) return kErrorCorrupt;
    const std::uint32_t length = in.U32Be();
    const std::uint32_t type = in.U32Be();
    in.U32Be();  // width
    in.U32Be();  // height
    const int bitDepth = in.U8();
    const int colourType = in.U8();
    if (!in.Ok() || length != 13 || type != 0x49484452 /* IHDR */ || ChannelsOf(colourType) == 0) {
        return kErrorCorrupt;
    }
    info.bitsPerPixel = bitDepth * ChannelsOf(colourType);
    info.colourType = colourType;
    return 0;
}

bool PngResolution(Bytes bytes, RawResolution& resolution) {
    ByteReader in(bytes, 8);
    while (in.Ok()) {
        const std::uint32_t length = in.U32Be();
        const std::uint32_t type = in.U32Be();
        if (!in.Ok() || type == 0x49444154 /* IDAT */ || type == 0x49454E44 /* IEND */) break;
        if (type == 0x70485973 /* pHYs */ && length == 9) {
            const std::uint32_t x = in.U32Be();
            const std::uint32_t y = in.U32Be();
            const int unit = in.U8();
            if (!in.Ok()) break;
            resolution.x = static_cast<int>(std::min<std::uint32_t>(x, INT32_MAX));
            resolution.y = static_cast<int>(std::min<std::uint32_t>(y, INT32_MAX));
            resolution.unit = unit == 1 ? 1 : 0;
            return true;
        }
        in.Skip(static_cast<std::uint64_t>(length) + 4);  // data and CRC
    }
    return false;
}

int PngDecode(Bytes bytes, Layout layout, Raster& out) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return kErrorCorrupt;
    PngHandles handles;
    if (!handles.png || !handles.info) return kErrorOutOfMemory;
    MemoryInput input{bytes.data(), bytes.size(), 0};
    png_set_read_fn(handles.png, &input, ReadFromMemory);
    png_set_user_limits(handles.png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(handles.png, 16u << 20);

    PngPlan plan{};
    if (int error = ReadPngInfo(handles.png, handles.info, layout, bytes.size(), &plan)) return error;
    const std::uint32_t depth = plan.channels == 1 ? 8 : plan.channels == 3 ? 24 : 32;
    if (plan.channels == 2 || RowBytes(plan.width, depth) != plan.rowBytes) return kErrorUnsupported;

    Raster raster;
    if (int error = AllocateRaster(raster, plan.width, plan.height, depth)) return error;
    std::vector<png_bytep> rows(plan.height);
    for (std::uint32_t y = 0; y < plan.height; ++y) rows[y] = raster.Row(y);
    if (int error = ReadPngRows(handles.png, rows.data())) return error;

    if (plan.greyBits) {
        FillGreyPalette(raster, plan.greyBits);
    } else if (depth == 8) {
        for (int i = 0; i < plan.paletteCount; ++i) {
            raster.palette[i] = MakeEntry(plan.palette[i].red, plan.palette[i].green, plan.palette[i].blue);
        }
        raster.paletteCount = plan.paletteCount;
    }
    out = std::move(raster);
    return 0;
}

}  // namespace image_codec
