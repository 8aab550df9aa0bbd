#pragma once

#include <QImage>
#include <QObject>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

struct mpv_handle;
struct mpv_render_context;

// One movie opened in libmpv, drawn by its software renderer into our own pixels. mpv runs
// on its own threads; its wake-ups reach the GUI thread as queued calls on this object, and
// nothing here runs on mpv's threads but the posting.
class CMpvPlayback : public QObject {
    Q_OBJECT
public:
    struct Settings {
        bool audio = true;  // false: the sound goes nowhere (headless runs)
    };

    explicit CMpvPlayback(Settings settings, QObject* parent = nullptr);
    ~CMpvPlayback() override;
    CMpvPlayback(const CMpvPlayback&) = delete;
    CMpvPlayback& operator=(const CMpvPlayback&) = delete;

    // Opens the movie paused at its start; false (with error set) when it does not play. Waits
    // for mpv to have read the file's header, no longer.
    bool Open(const std::string& hostPath, std::string& error);
    void Close();
    bool IsOpen() const { return mpv != nullptr; }

    // Paused or not; the player window keeps the stopped state itself.
    bool SetPaused(bool paused);
    // An absolute seek; the position reads as its target until mpv has got there.
    bool SeekTo(double seconds);
    bool CanSeek() const;
    double Duration() const;  // 0 when unknown
    double Position() const;  // the length once the end is reached
    bool AtEnd() const { return atEnd; }
    // The stored picture size; 0 x 0 for a movie without pictures.
    QSize NativeSize() const { return nativeSize; }
    // Pictures mpv dropped, in decoding or in showing, since the movie opened.
    std::int64_t DroppedFrames() const;
    // New pictures drawn since the movie opened.
    std::int64_t FramesShown() const { return framesShown; }
    // Gain in hundredths of a decibel, -10000 (silent) to 0.
    void SetVolume(int hundredthsOfDecibel);

    // Renders the current picture at the given size when mpv has a new one (or the size
    // changed); false when there is nothing to show yet.
    bool RenderFrame(QSize size);
    const QImage& Frame() const { return frame; }

    // On the GUI thread: a new picture is ready, and the end of the movie was reached.
    std::function<void()> onFrame;
    std::function<void()> onEnd;

private:
    void DrainEvents();
    void Configure();

    Settings settings;
    mpv_handle* mpv = nullptr;
    mpv_render_context* render = nullptr;
    QSize nativeSize;
    QImage frame;
    bool frameDirty = false;
    std::int64_t framesShown = 0;
    bool atEnd = false;
    std::optional<double> pendingSeek;
    std::atomic<bool> wakePosted{false}, framePosted{false};
};
