#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/sound_engine.h"

class CAudioBGMusic;

// A stream loaded on a channel. Releasing it stops and closes the stream.
struct CFMODSound {
    CKXSoundEngine::StreamHandle stream = 0;
    int channel = -1;
};

struct COggTag {
    std::string name;
    std::string value;
};

// What the manager tells the rest of the player.
class CKXAudioHost {
public:
    virtual ~CKXAudioHost() = default;
    virtual bool HasCurrentPage() = 0;
    // Runs the current page's "On Audio" now (state 1 pause, 2 play, 3 stop).
    virtual void SendAudioEvent(int state, int channel) = 0;
    // Queues it (state 0, finish) to run from the event loop.
    virtual void PostAudioEvent(int state, int channel) = 0;
    // A track name of the playlist as a file path.
    virtual std::string ResolveTrackPath(const std::string& name) = 0;
};

// The player's seven sound channels on top of the sound engine. Without an engine (the sound
// system did not start) every operation answers "not ready" and nothing is heard.
class CFMODSoundManager {
public:
    static constexpr int channelCount = 7;
    static constexpr int effectsChannel = 0, backgroundChannel = 5;
    static constexpr int resultDone = 0, resultBadChannel = 1, resultNothingLoaded = 2, resultNotReady = 3,
                         resultTagsNotLoaded = 5;

    explicit CFMODSoundManager(CKXSoundEngine* engine = nullptr);
    ~CFMODSoundManager();
    CFMODSoundManager(const CFMODSoundManager&) = delete;
    CFMODSoundManager& operator=(const CFMODSoundManager&) = delete;

    void SetHost(CKXAudioHost* audioHost) { host = audioHost; }
    // The project's playlist: its effects volume and the background channel's next track.
    void SetPlaylist(CAudioBGMusic* music) { playlist = music; }
    bool Ready() const { return engine != nullptr; }

    int Load(int n, const std::string& path, bool looping);
    int Play(int n);
    int Stop(int n);
    int Pause(int n, bool paused, bool notify);
    void Unload(int n);
    int SetVolume(int n, int volume);
    int GetVolume(int n, int& volume);
    long long GetLength(int n);
    int GetPosition(int n, long long& ms);
    int SetPosition(int n, long long ms);
    bool SetLooping(int n, bool looping);
    bool IsLooping(int n) const;
    std::string GetFilename(int n) const { return FileNameOf(n); }
    const std::string& FileNameOf(int n) const;
    int ToggleMute(int n);
    int TogglePlay(int n);
    int GetOggTags(int n, std::vector<COggTag>& list);
    // Raises "On Audio" for the state ("Finish", "Pause", "Play", "Stop").
    void Notify(int n, const char* state);
    // The background playlist's next track; applyVolume gives the channel the music volume.
    void PlayNext(bool applyVolume);

    // The random source of the random playlist order (the C library's by default).
    std::function<int()> random;
    // The file to open for a loaded path (paths are loaded as scripts name them).
    std::function<std::string(const std::string&)> hostPathOf;
    // Told of loads, plays, pauses, stops and ends: what, the channel, the file, the result.
    std::function<void(const char*, int, const std::string&, int)> onEvent;

private:
    struct Slot {
        std::unique_ptr<CFMODSound> sound;
        std::string fileName;
        bool looping = false;
        int volume = 255;
        bool muted = false;
    };
    static bool Valid(int n) { return n >= 0 && n < channelCount; }
    // The loaded stream of a valid channel, 0 when nothing is loaded.
    CKXSoundEngine::StreamHandle StreamOf(int n) const;
    // Not ready 3, channel not valid 1, nothing loaded 2; 0 when the operation may go on.
    int Check(int n) const;
    void Release(CFMODSound& sound);
    void OnStreamEnd(int n);
    void Report(const char* what, int n, int result);
    // A channel's new state done: logged, then "On Audio" raised.
    void Changed(int n, const char* state);

    CKXSoundEngine* engine;
    CKXAudioHost* host = nullptr;
    CAudioBGMusic* playlist = nullptr;
    Slot channelSlots[channelCount];
};
