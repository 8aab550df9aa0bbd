#pragma once

#include <QWidget>

#include <functional>

#include "media/video/mpv_playback.h"
#include "media/video_player.h"

// The video surface of a player window ("DSVideoWindow"): the opened movie with its loop flag,
// volume and end mark, drawn at the widget's size. Pointer input goes on to the player.
class CDirectShowWnd : public QWidget {
public:
    CDirectShowWnd(QWidget* parent, CMpvPlayback::Settings settings);

    CMpvPlayback playback;
    bool loop = false;
    int volume = 0;  // hundredths of a decibel
    bool finished = false;
    CKXVideoPlayer::State state = CKXVideoPlayer::kStopped;

    std::function<void(QMouseEvent*)> onMouse;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
