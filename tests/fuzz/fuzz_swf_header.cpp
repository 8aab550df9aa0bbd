// Feeds arbitrary bytes to the Flash movie header reader: the header, the inflated start of a
// compressed body, the frame rectangle, the frame rate and count.
#include <cstddef>
#include <cstdint>

#include "resources/kx_flash_file_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKXFlashFileInfo info;
    info.OpenBytes(data, size);
    CKXFlashFileInfo::FrameRect rect;
    info.ReadFrameRect(rect);
    int rate = 0, frames = 0;
    info.ReadMovieFrames(rect, rate, frames);
    return 0;
}
