#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "media/video_player.h"

class CDirectShowWnd;
class CSkinnedSlider;
class CVantorixVideoObject;

// How a player window is made: its look (copied from a video object, or the plain defaults),
// where skins are found, whether its sound plays, and where its log entries go.
struct VideoPlayerSetup {
    bool keepAspect = true;
    bool controllerShown = true;
    std::string skinPath;  // host path of the skin picture, only with the skinned controller
    bool showButtons = true;
    bool showSlider = true;
    int timeDisplay = 1;
    std::int32_t videoBackColor = 0;
    std::int32_t barBackColor = 0;
    std::int32_t barTextColor = 0;
    bool border = false;  // a one-pixel frame round the window
    bool audio = true;
    std::function<void(const VideoLogEntry&)> log;

    // The object's look; its skin is the caller's to find.
    static VideoPlayerSetup From(const CVantorixVideoObject& object);
};

// The player window of a video object (and of the intro): the movie in its video area at the
// size the layout rules give, and the controller bar under it with Play, Pause and Stop, the
// position slider and the time.
class CDirectShowPlayerWnd : public QWidget, public CKXVideoPlayer {
public:
    enum Command { kPlayCommand = 101, kPauseCommand = 102, kStopCommand = 103 };

    CDirectShowPlayerWnd(QWidget* parent, VideoPlayerSetup setup);
    ~CDirectShowPlayerWnd() override;

    // CKXVideoPlayer
    bool LoadMovie(const std::string& hostPath) override;
    bool Play() override;
    bool Pause() override;
    bool Stop() override;
    bool SeekTo(double seconds) override;
    bool CanSeek() const override;
    double GetLength() const override;
    double GetPosition() const override;
    State GetState() const override;
    void SetVolume(int hundredthsOfDecibel) override;
    int GetVolume() const override;
    void SetLoop(bool loop) override;

    QSize GetNativeSize() const { return nativeSize; }
    std::int64_t DroppedFrames() const;
    std::int64_t FramesShown() const;
    bool Failed() const { return failed; }
    int CellSize() const { return cellSize; }
    // Where the picture goes in the client area, by the layout rules.
    QRect PictureRect() const;
    QRect VideoArea() const;
    QRect ButtonRect(int index) const;  // 0 Play, 1 Pause, 2 Stop

    // "Play", "Pause", "Stop" at once and "Finished" queued, for the object's events.
    std::function<void(const char* event)> onRaise;
    // Pointer input over the window and its video, in the window's own coordinates, for the
    // view to treat as over the object.
    std::function<void(QMouseEvent* event, QPoint local)> onPointer;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent*) override;

private:
    void LoadSkin();
    void PlaceVideo();
    void OnEnd();
    // Raises the object's event; false when its script took this window away.
    bool Raise(const char* event);
    void Log(const char* action, const std::string& error = {});
    void UpdateTimer();
    int ButtonAt(QPoint point) const;
    QString TimeText() const;
    void PaintButton(QPainter& painter, int index);
    void PaintBar(QPainter& painter, QRect bar);

    VideoPlayerSetup setup;
    CDirectShowWnd* video = nullptr;
    CSkinnedSlider* slider = nullptr;
    std::array<QImage, 15> skinCells;
    bool skinned = false;
    int cellSize = 16;
    QSize nativeSize{100, 100};
    bool failed = false;
    std::string file;
    QTimer timer;
    int hotButton = -1;
    int pressedButton = -1;
};
