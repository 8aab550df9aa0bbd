// JPEG through libjpeg-turbo. The library reports errors through its error manager, which
// longjmps back here: the functions that call into it under setjmp own nothing with a
// destructor, and the raster is allocated by their caller between the header and the rows.

#include <cstdio>  // jpeglib.h needs FILE

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "graphics/image/codec_families.h"

namespace image_codec {

namespace {

// A Huffman-coded picture needs at least one bit per 8 x 8 block; a header claiming more
// pixels than four times that allows is lying about its size.
constexpr std::uint64_t kMaxPixelsPerByte = 2048;
// Progressive files can repeat scans without end; real ones have a dozen or so.
constexpr int kMaxScans = 256;

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings stay quiet, except those that mean the data ran out: the library would fill the
// rest of the picture with grey, which for a file with a lying size takes as long as a real
// picture of that size.
void OnJpegMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) info->err->error_exit(info);
}

void OnJpegProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        info->err->error_exit(info);
    }
}

// Plain data, so that the functions below can be left by longjmp.
struct JpegDecoder {
    jpeg_decompress_struct info;
    JpegErrors errors;
    jpeg_progress_mgr progress;
};

class JpegHandle {
public:
    JpegHandle() { std::memset(&decoder, 0, sizeof decoder); }
    ~JpegHandle() { jpeg_destroy_decompress(&decoder.info); }
    JpegHandle(const JpegHandle&) = delete;
    JpegHandle& operator=(const JpegHandle&) = delete;

    JpegDecoder decoder;
};

struct JpegPlan {
    std::uint32_t width;
    std::uint32_t height;
    int components;  // of the output: 1 grey, 3 RGB, 4 CMYK
    bool invertedCmyk;
};

// The smallest scale in eighths that still gives at least the drawn size; libjpeg's scaled
// inverse transform then does most of the shrinking at a fraction of the memory and time.
unsigned EighthsFor(std::uint32_t stored, std::uint32_t drawn) {
    unsigned eighths = 1;
    while (eighths < 8 && (static_cast<std::uint64_t>(stored) * eighths + 7) / 8 < drawn) ++eighths;
    return eighths;
}

int StartJpeg(JpegDecoder* decoder, Bytes bytes, Layout layout, DrawSize drawn, JpegPlan* plan) {
    jpeg_decompress_struct* info = &decoder->info;
    info->err = jpeg_std_error(&decoder->errors.base);
    decoder->errors.base.error_exit = OnJpegError;
    decoder->errors.base.emit_message = OnJpegMessage;
    if (setjmp(decoder->errors.jump)) return kErrorCorrupt;
    jpeg_create_decompress(info);
    decoder->progress.progress_monitor = OnJpegProgress;
    info->progress = &decoder->progress;
    jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(info, TRUE);
    if (int error = CheckSize(info->image_width, info->image_height)) return error;
    if (static_cast<std::uint64_t>(info->image_width) * info->image_height > kMaxPixelsPerByte * bytes.size()) {
        return kErrorTooLarge;
    }
    plan->invertedCmyk = false;
    if (info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK) {
        info->out_color_space = JCS_CMYK;
        plan->invertedCmyk = info->saw_Adobe_marker;
    } else if (info->num_components == 1 || layout == Layout::Indexed8 || layout == Layout::Bits1) {
        info->out_color_space = JCS_GRAYSCALE;
    } else {
        info->out_color_space = JCS_RGB;
    }
    if (drawn.width != 0 && drawn.height != 0) {
        info->scale_num =
            std::max(EighthsFor(info->image_width, drawn.width), EighthsFor(info->image_height, drawn.height));
        info->scale_denom = 8;
    }
    jpeg_start_decompress(info);
    plan->width = info->output_width;
    plan->height = info->output_height;
    plan->components = info->output_components;
    return 0;
}

// CMYK as Photoshop writes it is stored inverted; other writers store it plainly.
void CmykToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, std::uint32_t width, bool inverted) {
    for (std::uint32_t x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
        }
    }
}

int ReadJpegRows(JpegDecoder* decoder, const JpegPlan* plan, std::uint8_t* pixels, std::size_t rowBytes,
                 std::uint8_t* cmykRow) {
    if (setjmp(decoder->errors.jump)) return kErrorCorrupt;
    jpeg_decompress_struct* info = &decoder->info;
    while (info->output_scanline < info->output_height) {
        std::uint8_t* target = pixels + rowBytes * info->output_scanline;
        JSAMPROW row = cmykRow ? cmykRow : target;
        if (jpeg_read_scanlines(info, &row, 1) != 1) return kErrorCorrupt;
        if (cmykRow) CmykToRgb(cmykRow, target, plan->width, plan->invertedCmyk);
    }
    return 0;
}

// Walks the markers up to the first scan, calling visit(marker, segment) for each segment
// with a length. Like the library, it skips stray bytes between markers.
template <typename Visit>
bool WalkMarkers(Bytes bytes, Visit visit) {
    ByteReader in(bytes);
    if (in.U8() != 0xFF || in.U8() != 0xD8) return false;
    while (in.Ok()) {
        std::uint8_t marker = 0;
        while (in.Ok() && in.U8() != 0xFF) {
        }
        do {
            marker = in.U8();
        } while (in.Ok() && marker == 0xFF);
        if (!in.Ok() || marker == 0xD9 || marker == 0xDA) return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
        const std::uint16_t length = in.U16Be();
        const std::uint8_t* segment = length >= 2 ? in.Take(length - 2u) : nullptr;
        if (!segment) return false;
        if (visit(marker, Bytes(segment, length - 2u))) return true;
    }
    return false;
}

}  // namespace

int JpegHeader(Bytes bytes, HeaderInfo& info) {
    const bool found = WalkMarkers(bytes, [&](std::uint8_t marker, Bytes segment) {
        // Start-of-frame markers: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
        if (marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 || marker == 0xCC) {
            return false;
        }
        if (segment.size() < 6) return false;
        info.bitsPerPixel = segment[0] * segment[5];  // precision x components
        return true;
    });
    return found ? 0 : kErrorCorrupt;
}

bool JpegResolution(Bytes bytes, RawResolution& resolution) {
    return WalkMarkers(bytes, [&](std::uint8_t marker, Bytes segment) {
        if (marker != 0xE0 || segment.size() < 12 || std::memcmp(segment.data(), "JFIF\0", 5) != 0) {
            return false;
        }
        resolution.unit = segment[7];
        resolution.x = segment[8] << 8 | segment[9];
        resolution.y = segment[10] << 8 | segment[11];
        return true;
    });
}

int JpegDecode(Bytes bytes, Layout layout, DrawSize drawn, Raster& out) {
    JpegHandle handle;
    JpegPlan plan{};
    if (int error = StartJpeg(&handle.decoder, bytes, layout, drawn, &plan)) return error;
    if (plan.components != 1 && plan.components != 3 && plan.components != 4) return kErrorUnsupported;

    Raster raster;
    if (int error = AllocateRaster(raster, plan.width, plan.height, plan.components == 1 ? 8 : 24)) {
        return error;
    }
    std::vector<std::uint8_t> cmykRow(plan.components == 4 ? 4 * static_cast<std::size_t>(plan.width) : 0);
    if (int error = ReadJpegRows(&handle.decoder, &plan, raster.pixels.get(), raster.RowBytes(),
                                 cmykRow.empty() ? nullptr : cmykRow.data())) {
        return error;
    }
    if (raster.depth == 8) FillGreyPalette(raster, 8);
    out = std::move(raster);
    return 0;
}

}  // namespace image_codec
