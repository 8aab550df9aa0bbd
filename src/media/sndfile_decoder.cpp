#include <algorithm>
#include <cstdio>
#include <vector>

#include <sndfile.h>

#include "media/audio_decoder.h"

namespace {

// Rates outside these are taken for damage, not music.
constexpr int minimumRate = 1000, maximumRate = 384000, maximumChannels = 64;
constexpr int chunkFrames = 1024;
// A year of sound: longer than any file holds.
constexpr std::int64_t maximumLengthFrames = std::int64_t{CKXAudioDecoder::sampleRate} * 3600 * 24 * 365;

sf_count_t SourceLength(void* user) {
    return static_cast<CKXByteSource*>(user)->Size();
}
sf_count_t SourceSeek(sf_count_t offset, int whence, void* user) {
    auto* source = static_cast<CKXByteSource*>(user);
    source->Seek(offset, whence);
    return source->Tell();
}
sf_count_t SourceRead(void* buffer, sf_count_t count, void* user) {
    return static_cast<CKXByteSource*>(user)->Read(buffer, count);
}
sf_count_t SourceWrite(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t SourceTell(void* user) {
    return static_cast<CKXByteSource*>(user)->Tell();
}
SF_VIRTUAL_IO sourceIo = {SourceLength, SourceSeek, SourceRead, SourceWrite, SourceTell};

// The string fields libsndfile reads from other formats' tags: not Vorbis comments.
std::vector<CKXSoundEngine::Tag> SndfileStrings(SNDFILE* file) {
    static const std::pair<int, const char*> fields[] = {
        {SF_STR_TITLE, "TITLE"},         {SF_STR_ARTIST, "ARTIST"},          {SF_STR_ALBUM, "ALBUM"},
        {SF_STR_COPYRIGHT, "COPYRIGHT"}, {SF_STR_COMMENT, "COMMENT"},        {SF_STR_DATE, "DATE"},
        {SF_STR_GENRE, "GENRE"},         {SF_STR_TRACKNUMBER, "TRACKNUMBER"}};
    std::vector<CKXSoundEngine::Tag> tags;
    for (const auto& [field, name] : fields) {
        if (const char* value = sf_get_string(file, field)) tags.push_back({1, name, value});
    }
    return tags;
}

class SndfileDecoder : public CKXAudioDecoder {
public:
    SndfileDecoder(std::unique_ptr<CKXByteSource> bytes, SNDFILE* file, const SF_INFO& info)
        : bytes(std::move(bytes)), file(file), info(info), step(static_cast<double>(info.samplerate) / sampleRate) {
        native.reserve(static_cast<std::size_t>(chunkFrames * info.channels));
    }
    ~SndfileDecoder() override { sf_close(file); }

    int Read(float* out, int frames) override {
        int produced = 0;
        while (produced < frames) {
            // Output frame at position lies between buffered frames index and index + 1.
            auto index = static_cast<std::size_t>(position);
            while (index + 1 >= bufferedFrames) {
                if (!Refill()) return produced;
                index = static_cast<std::size_t>(position);
            }
            auto fraction = static_cast<float>(position - static_cast<double>(index));
            for (int side = 0; side < 2; ++side) {
                float a = stereo[index * 2 + static_cast<std::size_t>(side)];
                float b = stereo[(index + 1) * 2 + static_cast<std::size_t>(side)];
                out[produced * 2 + side] = a + (b - a) * fraction;
            }
            ++produced;
            position += step;
        }
        return produced;
    }

    bool Seek(std::int64_t frame) override {
        long double scaled = static_cast<long double>(frame) * step;
        if (scaled < 0 || (info.frames > 0 && scaled > static_cast<long double>(info.frames))) return false;
        auto target = static_cast<sf_count_t>(scaled);
        if (sf_seek(file, target, SEEK_SET) < 0) return false;
        bufferedFrames = 0;
        position = 0;
        return true;
    }

    std::int64_t LengthFrames() const override {
        // A count past any real length is libsndfile's "unknown" (or damage).
        long double frames = static_cast<long double>(info.frames) / step;
        if (info.frames <= 0 || frames > static_cast<long double>(maximumLengthFrames)) return 0;
        return static_cast<std::int64_t>(frames);
    }

    std::vector<CKXSoundEngine::Tag>& TagList() { return tags; }

private:
    // Keeps the last buffered frame and appends the next chunk of the file, as stereo.
    bool Refill() {
        native.resize(static_cast<std::size_t>(chunkFrames * info.channels));
        sf_count_t got = sf_readf_float(file, native.data(), chunkFrames);
        if (got <= 0) return false;
        std::size_t keep = bufferedFrames > 0 ? 1 : 0;
        if (keep) {
            std::copy_n(stereo.end() - 2, 2, stereo.begin());
            position -= static_cast<double>(bufferedFrames - 1);
        }
        stereo.resize((keep + static_cast<std::size_t>(got)) * 2);
        for (sf_count_t frame = 0; frame < got; ++frame) {
            const float* from = &native[static_cast<std::size_t>(frame * info.channels)];
            float* to = &stereo[(keep + static_cast<std::size_t>(frame)) * 2];
            to[0] = from[0];
            to[1] = info.channels > 1 ? from[1] : from[0];
        }
        bufferedFrames = keep + static_cast<std::size_t>(got);
        return true;
    }

    std::unique_ptr<CKXByteSource> bytes;
    SNDFILE* file;
    SF_INFO info;
    double step;
    std::vector<float> native;
    std::vector<float> stereo;
    std::size_t bufferedFrames = 0;
    double position = 0;
};

}  // namespace

std::unique_ptr<CKXAudioDecoder> OpenSndfileDecoder(std::unique_ptr<CKXByteSource>& bytes) {
    std::vector<CKXSoundEngine::Tag> comments = ReadVorbisComments(*bytes);
    bytes->Seek(0, SEEK_SET);
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&sourceIo, SFM_READ, &info, bytes.get());
    if (!file) return nullptr;
    if (info.channels < 1 || info.channels > maximumChannels || info.samplerate < minimumRate ||
        info.samplerate > maximumRate) {
        sf_close(file);
        return nullptr;
    }
    auto decoder = std::make_unique<SndfileDecoder>(std::move(bytes), file, info);
    decoder->TagList() = comments.empty() ? SndfileStrings(file) : std::move(comments);
    return decoder;
}
