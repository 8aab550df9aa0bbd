#include "media_format.h"

#include <string_view>

#include "platform/host_path.h"

namespace {

using namespace std::literals;

struct Signature {
    std::size_t offset;
    std::string_view bytes;
    const char* format;
};

// Longer and more particular signatures first: RIFF and FORM hold several formats.
constexpr Signature signatures[] = {
    {0, "\x89PNG\r\n\x1a\n"sv, "png"},
    {0, "\xFF\xD8\xFF"sv, "jpeg"},
    {0, "GIF87a"sv, "gif"},
    {0, "GIF89a"sv, "gif"},
    {0, "II*\0"sv, "tiff"},
    {0, "MM\0*"sv, "tiff"},
    {8, "WAVE"sv, "wav"},
    {8, "AVI "sv, "avi"},
    {8, "WEBP"sv, "webp"},
    {8, "AIFF"sv, "aiff"},
    {8, "AIFC"sv, "aiff"},
    {0, "OggS"sv, "ogg"},
    {0, "fLaC"sv, "flac"},
    {0, "ID3"sv, "mp3"},
    {0, "MThd"sv, "midi"},
    {0, "FWS"sv, "swf"},
    {0, "CWS"sv, "swf"},
    {0, "ZWS"sv, "swf"},
    {0, "\0\0\1\xBA"sv, "mpeg"},
    {0, "\0\0\1\xB3"sv, "mpeg"},
    {4, "ftyp"sv, "mp4"},
    {4, "moov"sv, "mp4"},
    {4, "mdat"sv, "mp4"},
    {0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv, "asf"},
    {0, "PK\3\4"sv, "zip"},
    {0, "MZ"sv, "windows-program"},
    {0,
     "\x7F"
     "ELF"sv,
     "elf"},
    {0, "\0\0\1\0"sv, "ico"},
    {0, "BM"sv, "bmp"},
};

}  // namespace

std::string MediaFormatOf(const std::string& hostPath) {
    std::optional<std::string> head = ReadRegularFileStart(hostPath, 16);
    if (!head) return {};
    std::string_view start(*head);
    for (const Signature& signature : signatures) {
        if (start.size() >= signature.offset + signature.bytes.size() &&
            start.substr(signature.offset, signature.bytes.size()) == signature.bytes) {
            return signature.format;
        }
    }
    // An MPEG audio frame: eleven set bits of frame sync.
    if (start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0xFF &&
        (static_cast<unsigned char>(start[1]) & 0xE0) == 0xE0) {
        return "mp3";
    }
    return "unknown";
}
