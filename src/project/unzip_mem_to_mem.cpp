#include "project/unzip_mem_to_mem.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

// zlib counts in uInt, so larger buffers are fed in slices.
constexpr std::size_t maxSlice = std::numeric_limits<uInt>::max();

}  // namespace

int CKXUnzipMemToMem::InflateBuffer(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                                    std::size_t destinationCapacity, std::size_t* produced) {
    if (produced != nullptr) *produced = 0;
    if ((source == nullptr && sourceLength != 0) || (destination == nullptr && destinationCapacity != 0)) {
        return Z_STREAM_ERROR;
    }

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return Z_MEM_ERROR;

    // zlib refuses a null output pointer even with no room, and a zero-capacity call still
    // has to look at the header to report a stream that is not zlib at all.
    std::uint8_t noRoom = 0;
    std::uint8_t* out = destination != nullptr ? destination : &noRoom;

    std::size_t inputLeft = sourceLength;
    std::size_t outputLeft = destinationCapacity;
    std::size_t written = 0;
    int status = Z_DATA_ERROR;
    stream.next_in = const_cast<Bytef*>(source);
    stream.next_out = out;
    for (;;) {
        if (stream.avail_in == 0 && inputLeft != 0) {
            stream.avail_in = static_cast<uInt>(std::min(inputLeft, maxSlice));
            inputLeft -= stream.avail_in;
        }
        if (stream.avail_out == 0 && outputLeft != 0) {
            stream.avail_out = static_cast<uInt>(std::min(outputLeft, maxSlice));
            outputLeft -= stream.avail_out;
        }
        const uInt roomBefore = stream.avail_out;
        const int ret = inflate(&stream, Z_NO_FLUSH);
        written += roomBefore - stream.avail_out;

        if (ret == Z_STREAM_END) {
            status = Z_OK;
            break;
        }
        const bool full = written == destinationCapacity;
        if (ret == Z_OK) {
            // Callers often want only the first bytes of a long stream.
            if (full) {
                status = Z_OK;
                break;
            }
            continue;
        }
        if (ret == Z_BUF_ERROR) {
            // No progress was possible: fine when there is no room left, a truncated stream
            // when the input ran out first.
            status = full ? Z_OK : Z_BUF_ERROR;
            break;
        }
        status = ret == Z_NEED_DICT ? Z_DATA_ERROR : ret;
        break;
    }
    inflateEnd(&stream);
    if (produced != nullptr) *produced = written;
    return status;
}
