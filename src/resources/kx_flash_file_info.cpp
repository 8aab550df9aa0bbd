#include "resources/kx_flash_file_info.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/host_path.h"
#include "project/unzip_mem_to_mem.h"
#include "resources/byte_order.h"
#include "resources/flash_check.h"

namespace {

constexpr std::size_t headerBytes = 8;
constexpr std::size_t uncompressedHeaderBits = 13;
constexpr std::size_t compressedHeaderBits = 16;
// The compressed body's first 32 bytes come from far fewer input bytes; a movie of any size is
// read no further than this.
constexpr std::size_t maxCompressedInput = std::size_t{1} << 20;

// Reads bits most significant first; every read past the end fails.
class BitReader {
public:
    BitReader(const std::uint8_t* bytes, std::size_t size) : bytes(bytes), bits(size * 8) {}

    bool Unsigned(int count, std::uint32_t& value) {
        if (count < 0 || count > 32 || position + static_cast<std::size_t>(count) > bits) return false;
        value = 0;
        for (int i = 0; i < count; ++i, ++position) {
            value = value << 1 | ((bytes[position / 8] >> (7 - position % 8)) & 1u);
        }
        return true;
    }
    bool Signed(int count, int& value) {
        std::uint32_t raw = 0;
        if (!Unsigned(count, raw)) return false;
        if (count > 0 && count < 32 && (raw >> (count - 1)) & 1u) raw |= ~std::uint32_t{0} << count;
        value = static_cast<int>(raw);
        return true;
    }
    std::size_t BytesUsed() const { return (position + 7) / 8; }

private:
    const std::uint8_t* bytes;
    std::size_t bits;
    std::size_t position = 0;
};

bool ReadRect(const std::uint8_t* bytes, std::size_t size, CKXFlashFileInfo::FrameRect& rect, std::size_t* used) {
    BitReader reader(bytes, size);
    std::uint32_t count = 0;
    if (!reader.Unsigned(5, count)) return false;
    int n = static_cast<int>(count);
    if (!reader.Signed(n, rect.xMin) || !reader.Signed(n, rect.xMax) || !reader.Signed(n, rect.yMin) ||
        !reader.Signed(n, rect.yMax)) {
        return false;
    }
    if (used) *used = reader.BytesUsed();
    return true;
}

}  // namespace

bool CKXFlashFileInfo::Open(const std::string& path) {
    moviePath = path;
    if (path.empty() || !IsRegularFile(path)) return false;
    std::optional<std::string> bytes = ReadRegularFileStart(path, headerBytes + maxCompressedInput);
    if (!bytes) return false;
    bool opened = OpenBytes(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
    moviePath = path;
    return opened;
}

bool CKXFlashFileInfo::OpenBytes(const std::uint8_t* data, std::size_t size) {
    *this = CKXFlashFileInfo();
    if (size < headerBytes) return false;
    std::memcpy(signature.data(), data, 3);
    swfVersion = data[3];
    fileLength = LittleEndian32(data + 4);
    const std::uint8_t* rest = data + headerBytes;
    std::size_t restSize = size - headerBytes;
    if (std::memcmp(signature.data(), "CWS", 3) == 0) {
        // Only the first bytes of the body are needed: the declared length never sizes a buffer.
        if (fileLength <= headerBytes) return false;
        std::size_t wanted = std::min<std::size_t>(bodyBytesKept, fileLength - headerBytes);
        std::size_t produced = 0;
        if (CKXUnzipMemToMem::InflateBuffer(rest, restSize, body.data(), wanted, &produced) != 0) return false;
        bodyBytes = produced;
        headerBitCount = std::min(produced, compressedHeaderBits);
    } else {
        bodyBytes = std::min(restSize, bodyBytesKept);
        std::memcpy(body.data(), rest, bodyBytes);
        headerBitCount = std::min(restSize, uncompressedHeaderBits);
    }
    std::memcpy(headerBits.data(), body.data(), headerBitCount);
    return IsValid();
}

bool CKXFlashFileInfo::IsValid() const {
    bool uncompressed = std::memcmp(signature.data(), "FWS", 3) == 0;
    bool compressed = std::memcmp(signature.data(), "CWS", 3) == 0;
    if (swfVersion >= 1 && swfVersion <= 5) return uncompressed;
    return uncompressed || compressed;
}

bool CKXFlashFileInfo::ReadFrameRect(FrameRect& rect) const {
    return ReadRect(headerBits.data(), headerBitCount, rect, nullptr);
}

bool CKXFlashFileInfo::GetMovieSize(const CKXRegistry& registry, int& height, int& width) const {
    height = width = 0;
    if (GetFlashControlMajor(registry) == -1) return false;
    FrameRect rect;
    if (!ReadFrameRect(rect)) return false;
    // Twentieths of a pixel; 64-bit so that extreme corners cannot overflow.
    height = static_cast<int>((static_cast<long long>(rect.yMax) - rect.yMin) / 20);
    width = static_cast<int>((static_cast<long long>(rect.xMax) - rect.xMin) / 20);
    return true;
}

bool CKXFlashFileInfo::ReadMovieFrames(FrameRect& rect, int& rateTimes256, int& frameCount) const {
    std::size_t used = 0;
    if (!ReadRect(body.data(), bodyBytes, rect, &used) || used + 4 > bodyBytes) return false;
    const std::uint8_t* p = body.data() + used;
    rateTimes256 = p[0] | p[1] << 8;
    frameCount = p[2] | p[3] << 8;
    return true;
}
