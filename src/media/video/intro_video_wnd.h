#pragma once

#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

#include "media/video_player.h"
#include "project/intro_video_settings.h"

class CDirectShowPlayerWnd;

// What an intro tells the event log: "start" with its kind, file, window and media rectangles
// (screen and client coordinates), "end" with why it ended ("finished", "skipped", "failed").
struct IntroLogEntry {
    std::string action;
    int kind = 0;
    std::string file;
    QRect window, media;
    std::string reason;
};

// The intro: a video or a picture in a window of its own before the first page. Run shows it
// and returns when the movie has finished or the viewer has skipped it, waiting for events in
// between (a Flash intro is not shown yet: it ends as failed).
class CIntroVideoWnd : public QWidget {
public:
    struct Setup {
        CIntroVideoSettings settings;
        std::string hostPath;  // the resolved file
        QSize screen;
        bool videoSound = true;
        std::function<void(const VideoLogEntry&)> videoLog;
        std::function<void(const IntroLogEntry&)> log;
        QIcon icon;  // none: the application's
    };

    explicit CIntroVideoWnd(Setup setup);
    ~CIntroVideoWnd() override;

    void Run();

    // The window size and the media rectangle in it, by the window and size modes.
    static QSize WindowSize(const CIntroVideoSettings& settings, QSize media, QSize screen);
    static QRect MediaRect(const CIntroVideoSettings& settings, QSize media, QSize client);

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void End(const char* reason);
    void Log(const char* action, const std::string& reason = {});

    Setup setup;
    QImage picture;
    QPointer<CDirectShowPlayerWnd> player;
    QEventLoop loop;
    bool skippable = true;
    bool running = false;
    QRect mediaRect;
};
