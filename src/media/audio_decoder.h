#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/byte_source.h"
#include "media/sound_engine.h"

// One sound file decoded to the mix's format: interleaved stereo float frames at 44100 Hz.
// A decoder is used from one thread at a time.
class CKXAudioDecoder {
public:
    static constexpr int sampleRate = 44100;
    virtual ~CKXAudioDecoder() = default;
    // Decodes up to frames frames into out (2 floats each); 0 at the end or on a read error.
    virtual int Read(float* out, int frames) = 0;
    // Moves to a frame of the output; false when the file cannot seek there.
    virtual bool Seek(std::int64_t frame) = 0;
    // The length in output frames, 0 when it cannot be told.
    virtual std::int64_t LengthFrames() const = 0;
    // The file's tag fields (type 0 for Ogg Vorbis comments).
    const std::vector<CKXSoundEngine::Tag>& Tags() const { return tags; }

protected:
    std::vector<CKXSoundEngine::Tag> tags;
};

// The decoder for what the bytes hold, by content: a file libsndfile reads (WAV, AIFF, FLAC, Ogg,
// Opus, MP3, ...), MIDI, or tracker music. Nothing for anything else.
std::unique_ptr<CKXAudioDecoder> OpenAudioDecoder(std::unique_ptr<CKXByteSource> bytes);
std::unique_ptr<CKXAudioDecoder> OpenAudioFile(const std::string& path);

// The kinds, each tried by OpenAudioDecoder; every one leaves the source where it found it when
// it refuses.
std::unique_ptr<CKXAudioDecoder> OpenSndfileDecoder(std::unique_ptr<CKXByteSource>& bytes);
std::unique_ptr<CKXAudioDecoder> OpenMidiDecoder(std::unique_ptr<CKXByteSource>& bytes);
std::unique_ptr<CKXAudioDecoder> OpenTrackerDecoder(std::unique_ptr<CKXByteSource>& bytes);
// The Vorbis comments of an Ogg Vorbis file as tag fields of type 0; empty for anything else.
std::vector<CKXSoundEngine::Tag> ReadVorbisComments(CKXByteSource& bytes);
