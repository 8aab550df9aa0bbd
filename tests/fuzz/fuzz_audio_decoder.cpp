// Feeds arbitrary bytes to the sound decoders' front end, as a file of unknown kind, and plays
// what opens: a stretch from the start, a seek to the middle and back, and the tags.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/audio_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<CKXAudioDecoder> decoder = OpenAudioDecoder(MemoryBytes(data, size));
    if (!decoder) return 0;
    // A few bytes may claim hours of sound: a few blocks of it tell as much.
    std::vector<float> frames(1024 * 2);
    for (int block = 0; block < 16 && decoder->Read(frames.data(), 1024) > 0; ++block) {
    }
    std::int64_t length = decoder->LengthFrames();
    if (decoder->Seek(length / 2)) decoder->Read(frames.data(), 1024);
    if (decoder->Seek(0)) decoder->Read(frames.data(), 333);
    std::size_t text = 0;
    for (const auto& tag : decoder->Tags()) text += tag.name.size() + tag.value.size();
    return static_cast<int>(text & 0);
}
