#pragma once

#include <string>

// A video object's player as the Video actions drive it: one opened movie with its state,
// position and length in seconds, and its volume in hundredths of a decibel (-10000 silent,
// 0 full). The player window implements it; tests put a fake in its place.
class CKXVideoPlayer {
public:
    enum State { kStopped = 0, kPaused = 1, kRunning = 2 };

    virtual ~CKXVideoPlayer() = default;
    // Opens the movie (the previous one is released); false when it cannot be played.
    virtual bool LoadMovie(const std::string& hostPath) = 0;
    virtual bool Play() = 0;
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
    virtual bool SeekTo(double seconds) = 0;
    virtual bool CanSeek() const = 0;
    // 0 when they cannot be told.
    virtual double GetLength() const = 0;
    virtual double GetPosition() const = 0;
    virtual State GetState() const = 0;
    virtual void SetVolume(int hundredthsOfDecibel) = 0;
    virtual int GetVolume() const = 0;
    virtual void SetLoop(bool loop) = 0;
};

// The Video actions' volume scale: 0-100 to hundredths of a decibel and back.
int VolumeToHundredthsOfDecibel(double volume);
int VolumeFromHundredthsOfDecibel(int hundredths);

// What a video player tells the event log: an action ("open", "play", "pause", "stop", "end",
// "seek", "error") with the fields that apply (-1 and empty where they do not).
struct VideoLogEntry {
    std::string action;
    std::string file;
    int width = -1, height = -1;
    double length = -1, position = -1;
    std::string error;
};
