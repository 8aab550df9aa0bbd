#include <cstdio>
#include <cstring>

#include <vorbis/vorbisfile.h>

#include "media/audio_decoder.h"

namespace {

size_t SourceRead(void* buffer, size_t size, size_t count, void* user) {
    if (size == 0) return 0;
    auto got = static_cast<CKXByteSource*>(user)->Read(buffer, static_cast<std::int64_t>(size * count));
    return static_cast<size_t>(got) / size;
}
int SourceSeek(void* user, ogg_int64_t offset, int whence) {
    return static_cast<CKXByteSource*>(user)->Seek(offset, whence) ? 0 : -1;
}
long SourceTell(void* user) {
    return static_cast<long>(static_cast<CKXByteSource*>(user)->Tell());
}

}  // namespace

std::vector<CKXSoundEngine::Tag> ReadVorbisComments(CKXByteSource& bytes) {
    std::vector<CKXSoundEngine::Tag> tags;
    unsigned char magic[4] = {};
    if (bytes.Read(magic, 4) != 4 || std::memcmp(magic, "OggS", 4) != 0) return tags;
    bytes.Seek(0, SEEK_SET);
    OggVorbis_File file;
    ov_callbacks callbacks = {SourceRead, SourceSeek, nullptr, SourceTell};
    if (ov_open_callbacks(&bytes, &file, nullptr, 0, callbacks) != 0) return tags;
    if (vorbis_comment* comments = ov_comment(&file, -1)) {
        for (int i = 0; i < comments->comments; ++i) {
            std::string field(comments->user_comments[i], static_cast<std::size_t>(comments->comment_lengths[i]));
            std::size_t equals = field.find('=');
            if (equals == std::string::npos) continue;
            tags.push_back({0, field.substr(0, equals), field.substr(equals + 1)});
        }
    }
    ov_clear(&file);
    return tags;
}
