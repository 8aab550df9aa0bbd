#include <cstdio>
#include <vector>

#include <libopenmpt/libopenmpt.h>

#include "media/audio_decoder.h"

namespace {

// Modules are small; a larger "module" is damage, and libopenmpt would hold all of it.
constexpr std::int64_t maximumModuleBytes = std::int64_t{64} << 20;

size_t SourceRead(void* user, void* buffer, size_t bytes) {
    return static_cast<size_t>(static_cast<CKXByteSource*>(user)->Read(buffer, static_cast<std::int64_t>(bytes)));
}
int SourceSeek(void* user, int64_t offset, int whence) {
    return static_cast<CKXByteSource*>(user)->Seek(offset, whence) ? 0 : -1;
}
int64_t SourceTell(void* user) {
    return static_cast<CKXByteSource*>(user)->Tell();
}

class TrackerDecoder : public CKXAudioDecoder {
public:
    explicit TrackerDecoder(openmpt_module* module) : module(module) {
        // Once through: looping is the stream's business, by seeking back.
        openmpt_module_set_repeat_count(module, 0);
        for (const char* key : {"title", "artist"}) {
            const char* value = openmpt_module_get_metadata(module, key);
            if (value && *value) tags.push_back({1, key, value});
            openmpt_free_string(value);
        }
    }
    ~TrackerDecoder() override { openmpt_module_destroy(module); }

    int Read(float* out, int frames) override {
        return static_cast<int>(
            openmpt_module_read_interleaved_float_stereo(module, sampleRate, static_cast<size_t>(frames), out));
    }
    bool Seek(std::int64_t frame) override {
        openmpt_module_set_position_seconds(module, static_cast<double>(frame) / sampleRate);
        return true;
    }
    std::int64_t LengthFrames() const override {
        double seconds = openmpt_module_get_duration_seconds(module);
        return seconds > 0 && seconds < 1e7 ? static_cast<std::int64_t>(seconds * sampleRate) : 0;
    }

private:
    openmpt_module* module;
};

}  // namespace

std::unique_ptr<CKXAudioDecoder> OpenTrackerDecoder(std::unique_ptr<CKXByteSource>& bytes) {
    std::int64_t size = bytes->Size();
    if (size <= 0 || size > maximumModuleBytes) return nullptr;
    std::vector<unsigned char> header(
        std::min<std::size_t>(openmpt_probe_file_header_get_recommended_size(), static_cast<std::size_t>(size)));
    std::int64_t got = bytes->Read(header.data(), static_cast<std::int64_t>(header.size()));
    int probe = openmpt_probe_file_header(
        OPENMPT_PROBE_FILE_HEADER_FLAGS_MODULES, header.data(), static_cast<size_t>(got), static_cast<uint64_t>(size),
        openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) return nullptr;
    bytes->Seek(0, SEEK_SET);
    openmpt_stream_callbacks callbacks = {SourceRead, SourceSeek, SourceTell};
    openmpt_module* module = openmpt_module_create2(callbacks, bytes.get(), openmpt_log_func_silent, nullptr,
                                                    openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
    if (!module) return nullptr;
    // The module holds what it read; the file is no longer needed.
    bytes.reset();
    return std::make_unique<TrackerDecoder>(module);
}
