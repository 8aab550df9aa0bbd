#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/audio_decoder.h"

// One open sound file: a decoder thread keeps a short buffer of decoded frames ahead of the mix,
// and the audio thread takes frames from it. The lock is held only to copy frames or change the
// position, never while decoding or reading the file.
class CKXSoundStream {
public:
    static constexpr int bufferFrames = 8192;  // about 190 ms ahead
    // ended is called from the decoder thread once the last frame of a stream that does not loop
    // has been mixed.
    CKXSoundStream(std::unique_ptr<CKXAudioDecoder> decoder, bool looping, std::function<void()> ended);
    ~CKXSoundStream();
    CKXSoundStream(const CKXSoundStream&) = delete;
    CKXSoundStream& operator=(const CKXSoundStream&) = delete;

    // Audio thread: copies up to frames decoded frames into out; fewer when the buffer runs short.
    int Pull(float* out, int frames);

    // GUI thread.
    void SetLooping(bool looping);
    // Moves to a frame; the buffer is dropped and filled again from there.
    void Seek(std::int64_t frame);
    std::int64_t PositionFrames() const;
    std::int64_t LengthFrames() const { return length; }
    // Whether every frame has been mixed (a stream that does not loop, at its end).
    bool Drained() const { return drained.load(); }
    const std::vector<CKXSoundEngine::Tag>& Tags() const { return tags; }

private:
    void Run();
    std::size_t Buffered() const { return static_cast<std::size_t>(written - taken); }

    std::unique_ptr<CKXAudioDecoder> decoder;
    const std::int64_t length;
    const std::vector<CKXSoundEngine::Tag> tags;
    std::function<void()> ended;

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::vector<float> ring;               // bufferFrames stereo frames
    std::uint64_t written = 0, taken = 0;  // frames put into and taken from the ring
    std::int64_t position = 0;             // the frame the mix takes next
    bool looping;
    bool decoderDone = false;  // the decoder has nothing more until a seek
    bool seekPending = false;
    std::int64_t seekTarget = 0;
    unsigned generation = 0;  // changes with every seek, so stale frames are dropped
    bool endReported = false;
    bool quit = false;
    std::atomic<bool> drained{false};
    std::thread thread;
};
