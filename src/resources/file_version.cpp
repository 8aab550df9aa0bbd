#include "resources/file_version.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <mutex>
#include <vector>

#include "resources/byte_order.h"
#include "resources/version_compare.h"

namespace {

std::mutex sourceMutex;
FileVersionSource& Source() {
    static FileVersionSource source;
    return source;
}

// Version resources sit in the resource section, well inside the first megabytes of any control.
constexpr std::size_t maxProgramBytes = std::size_t{64} << 20;
constexpr std::uint32_t fixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t fixedInfoStructVersion = 0x00010000;

std::optional<FileVersion> VersionFileBeside(const std::string& hostPath) {
    std::ifstream in(hostPath + ".version");
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return std::nullopt;
    return FileVersionOf(line);
}

std::optional<FileVersion> VersionResourceOf(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::streamoff length = in.tellg();
    if (length <= 0) return std::nullopt;
    in.seekg(0);
    std::vector<unsigned char> bytes(std::min(static_cast<std::size_t>(length), maxProgramBytes));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return VersionResourceIn(bytes.data(), bytes.size());
}

}  // namespace

FileVersion FileVersionOf(std::string_view text) {
    std::array<int, kMaxVersionParts> parts{};
    ParseVersion(text, parts);
    return FileVersion{parts[0], parts[1], parts[2], parts[3]};
}

void SetFileVersionSource(FileVersionSource source) {
    std::lock_guard lock(sourceMutex);
    Source() = std::move(source);
}

std::optional<FileVersion> VersionResourceIn(const unsigned char* bytes, std::size_t size) {
    if (size < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return std::nullopt;
    // The fixed part of the version resource starts with its signature and structure version on
    // a four-byte boundary; the file version's two double words follow.
    for (std::size_t at = 0; at + 16 <= size; at += 4) {
        if (LittleEndian32(bytes + at) != fixedInfoSignature) continue;
        if (LittleEndian32(bytes + at + 4) != fixedInfoStructVersion) continue;
        std::uint32_t most = LittleEndian32(bytes + at + 8), least = LittleEndian32(bytes + at + 12);
        return FileVersion{static_cast<int>(most >> 16), static_cast<int>(most & 0xFFFF), static_cast<int>(least >> 16),
                           static_cast<int>(least & 0xFFFF)};
    }
    return std::nullopt;
}

std::optional<FileVersion> ReadFileVersion(const std::string& hostPath) {
    {
        std::lock_guard lock(sourceMutex);
        if (Source()) {
            if (auto version = Source()(hostPath)) return version;
        }
    }
    if (auto version = VersionFileBeside(hostPath)) return version;
    return VersionResourceOf(hostPath);
}
