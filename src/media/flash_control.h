#pragma once

#include <optional>
#include <string>

// A Flash object's player as the object and the Flash actions drive it: the members of the Flash
// control that menus rely on. Every call answers at once. A call the player cannot carry out
// (it has failed, or the movie's player has no such member) returns false or nothing, which the
// actions report as an exception of the control.
class CKXFlashControl {
public:
    // The load states a movie goes through.
    enum ReadyState { kLoading = 0, kUninitialized = 1, kLoaded = 2, kInteractive = 3, kComplete = 4 };

    virtual ~CKXFlashControl() = default;
    virtual bool PutQuality2(const std::string& quality) = 0;
    virtual bool PutScaleMode(int mode) = 0;
    virtual bool PutAlignMode(int bits) = 0;
    // 0xRRGGBB, or -1 for the movie's own colour.
    virtual bool PutBackgroundColor(int color) = 0;
    virtual bool PutMenu(bool show) = 0;
    virtual bool PutDeviceFont(bool use) = 0;
    virtual bool PutMovie(const std::string& hostPath) = 0;
    virtual bool PutLoop(bool loop) = 0;
    virtual bool Play() = 0;
    virtual bool Stop() = 0;
    virtual bool Rewind() = 0;
    virtual bool GotoFrame(int frame) = 0;  // 0-based
    virtual std::optional<int> TotalFrames() = 0;
    virtual std::optional<int> CurrentFrame() = 0;  // 0-based
    virtual std::optional<int> GetReadyState() = 0;
};

// What a Flash object's player tells the event log: "created", "unavailable" (no player could
// be made: the reason), "ready" (a new load state), "fscommand" (the command and its
// arguments), "error" (the player's message).
struct FlashLogEntry {
    std::string action;
    std::string file;
    std::string detail;
};
