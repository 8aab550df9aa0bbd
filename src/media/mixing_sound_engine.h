#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "media/sound_engine.h"
#include "media/sound_stream.h"

// The sound engine of the player: streams decoded off the audio thread, mixed on numbered
// channels by Mix, which the output calls from its own thread. Ends of streams reach the GUI
// thread through the poster; nothing else crosses threads.
class CKXMixingSoundEngine : public CKXSoundEngine {
public:
    static constexpr int channelCount = 11;
    // Runs a function on the GUI thread, later.
    using Poster = std::function<void(std::function<void()>)>;

    explicit CKXMixingSoundEngine(Poster post);
    ~CKXMixingSoundEngine() override;

    StreamHandle OpenStream(const std::string& path, bool looping) override;
    void CloseStream(StreamHandle stream) override;
    bool PlayStream(int channel, StreamHandle stream) override;
    bool StopStream(StreamHandle stream) override;
    void SetStreamLoopMode(StreamHandle stream, bool looping) override;
    void SetStreamEndCallback(StreamHandle stream, EndCallback callback, int userValue) override;
    std::int64_t GetStreamLengthMs(StreamHandle stream) override;
    std::int64_t GetStreamTimeMs(StreamHandle stream) override;
    bool SetStreamTimeMs(StreamHandle stream, std::int64_t ms) override;
    int GetStreamTagCount(StreamHandle stream) override;
    bool GetStreamTag(StreamHandle stream, int index, Tag& tag) override;
    bool IsChannelPlaying(int channel) override;
    bool GetChannelPaused(int channel) override;
    bool SetChannelPaused(int channel, bool paused) override;
    bool SetChannelVolume(int channel, int volume) override;
    int GetChannelVolume(int channel) override;
    bool RewindChannel(int channel) override;
    int GetEngineError() override { return lastError; }

    // Audio thread: the next frames of the mix, interleaved stereo floats in -1..1.
    void Mix(float* out, int frames);
    // Told on the GUI thread whether anything plays; an output may sleep while nothing does.
    std::function<void(bool)> onActivityChanged;

private:
    struct OpenStreamEntry {
        std::unique_ptr<CKXSoundStream> stream;
        EndCallback callback;
        int userValue = 0;
        int channel = -1;
    };
    struct Channel {
        CKXSoundStream* stream = nullptr;
        bool paused = false;
        int volume = 255;
    };
    OpenStreamEntry* Find(StreamHandle handle);
    bool ValidChannel(int channel) const { return channel >= 0 && channel < channelCount; }
    // Takes the stream off its channel; call with mixMutex held.
    void Unbind(OpenStreamEntry& entry);
    void OnEnded(StreamHandle handle);
    void UpdateActivity();
    bool Fail() {
        lastError = 1;
        return false;
    }

    Poster post;
    std::shared_ptr<int> alive = std::make_shared<int>(0);
    std::map<StreamHandle, OpenStreamEntry> streams;  // GUI thread only
    std::mutex mixMutex;                              // guards channels against Mix
    Channel channels[channelCount];
    std::vector<float> scratch;
    StreamHandle nextHandle = 1;
    int lastError = 0;
    bool active = false;
};
