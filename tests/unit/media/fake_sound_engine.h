#pragma once

// A sound engine that plays nothing: it keeps the state the manager relies on, can be told to
// refuse operations, and lets a test end a stream.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "media/sound_engine.h"

class FakeSoundEngine : public CKXSoundEngine {
public:
    struct Stream {
        std::string path;
        bool looping = false;
        EndCallback callback;
        int userValue = 0;
        std::int64_t lengthMs = 10000;
        std::int64_t timeMs = 0;
        std::vector<Tag> tags;
    };
    struct Channel {
        StreamHandle stream = 0;
        bool paused = false;
        int volume = 255;
    };

    StreamHandle OpenStream(const std::string& path, bool looping) override {
        opened.push_back(path);
        if (unopenable.count(path)) return 0;
        StreamHandle handle = next++;
        Stream& stream = streams[handle];
        stream.path = path;
        stream.looping = looping;
        stream.tags = tagsForNextOpen;
        return handle;
    }
    void CloseStream(StreamHandle stream) override {
        for (Channel& channel : channels) {
            if (channel.stream == stream) channel = {0, false, channel.volume};
        }
        streams.erase(stream);
    }
    bool PlayStream(int channel, StreamHandle stream) override {
        if (refusePlay || !streams.count(stream)) return false;
        channels[channel] = {stream, false, 255};
        ++plays;
        return true;
    }
    bool StopStream(StreamHandle stream) override {
        if (refuseStop) return false;
        for (Channel& channel : channels) {
            if (channel.stream == stream) channel.stream = 0;
        }
        return true;
    }
    void SetStreamLoopMode(StreamHandle stream, bool looping) override { streams[stream].looping = looping; }
    void SetStreamEndCallback(StreamHandle stream, EndCallback callback, int userValue) override {
        streams[stream].callback = std::move(callback);
        streams[stream].userValue = userValue;
    }
    std::int64_t GetStreamLengthMs(StreamHandle stream) override { return streams[stream].lengthMs; }
    std::int64_t GetStreamTimeMs(StreamHandle stream) override { return streams[stream].timeMs; }
    bool SetStreamTimeMs(StreamHandle stream, std::int64_t ms) override {
        if (ms < 0 || ms >= streams[stream].lengthMs) return false;
        streams[stream].timeMs = ms;
        return true;
    }
    int GetStreamTagCount(StreamHandle stream) override { return static_cast<int>(streams[stream].tags.size()); }
    bool GetStreamTag(StreamHandle stream, int index, Tag& tag) override {
        tag = streams[stream].tags.at(static_cast<std::size_t>(index));
        return true;
    }
    bool IsChannelPlaying(int channel) override { return channels[channel].stream != 0; }
    bool GetChannelPaused(int channel) override { return channels[channel].paused; }
    bool SetChannelPaused(int channel, bool paused) override {
        if (refusePause || !channels[channel].stream) return false;
        channels[channel].paused = paused;
        return true;
    }
    bool SetChannelVolume(int channel, int volume) override {
        if (refuseVolume) return false;
        channels[channel].volume = std::max(0, std::min(volume, 255));
        return true;
    }
    int GetChannelVolume(int channel) override { return channels[channel].volume; }
    bool RewindChannel(int channel) override {
        if (refuseRewind || !channels[channel].stream) return false;
        streams[channels[channel].stream].timeMs = 0;
        ++rewinds;
        return true;
    }
    int GetEngineError() override { return engineError; }

    // The stream on a channel reaches its end: it stops and its callback is called.
    void End(int channel) {
        StreamHandle stream = channels[channel].stream;
        channels[channel].stream = 0;
        Stream copy = streams[stream];
        if (copy.callback) copy.callback(copy.userValue);
    }
    StreamHandle StreamOn(int channel) const { return channels[channel].stream; }

    std::map<StreamHandle, Stream> streams;
    Channel channels[11];
    std::set<std::string> unopenable;
    std::vector<std::string> opened;
    std::vector<Tag> tagsForNextOpen;
    bool refusePlay = false, refuseStop = false, refusePause = false, refuseVolume = false, refuseRewind = false;
    int engineError = 0;
    int plays = 0, rewinds = 0;

private:
    StreamHandle next = 1;
};
