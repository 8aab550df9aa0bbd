#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The operations the audio manager needs of the sound engine. Streams are opened from files and
// played on numbered channels; a handle of 0 is no stream. Every call is made from the GUI thread,
// and end callbacks arrive on it too.
class CKXSoundEngine {
public:
    using StreamHandle = int;
    // Called once when a stream that does not loop reaches its end, with the user value.
    using EndCallback = std::function<void(int userValue)>;

    struct Tag {
        int type = 0;  // 0: an Ogg Vorbis comment; other fields have other types
        std::string name;
        std::string value;
    };

    virtual ~CKXSoundEngine() = default;

    // A stream for streamed playback, or 0 when the file cannot be opened.
    virtual StreamHandle OpenStream(const std::string& path, bool looping) = 0;
    // Stops the stream and releases it with its end callback.
    virtual void CloseStream(StreamHandle stream) = 0;
    // Starts the stream on the channel from its position; false when it does not start.
    virtual bool PlayStream(int channel, StreamHandle stream) = 0;
    virtual bool StopStream(StreamHandle stream) = 0;
    virtual void SetStreamLoopMode(StreamHandle stream, bool looping) = 0;
    virtual void SetStreamEndCallback(StreamHandle stream, EndCallback callback, int userValue) = 0;
    // Length and position in milliseconds, 0 when they cannot be told.
    virtual std::int64_t GetStreamLengthMs(StreamHandle stream) = 0;
    virtual std::int64_t GetStreamTimeMs(StreamHandle stream) = 0;
    // True when 0 <= ms < length; otherwise nothing moves.
    virtual bool SetStreamTimeMs(StreamHandle stream, std::int64_t ms) = 0;
    virtual int GetStreamTagCount(StreamHandle stream) = 0;
    virtual bool GetStreamTag(StreamHandle stream, int index, Tag& tag) = 0;

    // True while a stream is playing or paused on the channel.
    virtual bool IsChannelPlaying(int channel) = 0;
    virtual bool GetChannelPaused(int channel) = 0;
    virtual bool SetChannelPaused(int channel, bool paused) = 0;
    // Clamps to 0-255; true for any valid channel, playing or not.
    virtual bool SetChannelVolume(int channel, int volume) = 0;
    virtual int GetChannelVolume(int channel) = 0;
    // Puts the playing channel back to its start.
    virtual bool RewindChannel(int channel) = 0;
    // Nonzero when the last call failed.
    virtual int GetEngineError() = 0;
};
