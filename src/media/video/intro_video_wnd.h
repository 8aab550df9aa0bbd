#pragma once

#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "media/flash/flash_window.h"
#include "media/intro_log_entry.h"
#include "media/video_player.h"
#include "project/intro_video_settings.h"

class CDirectShowPlayerWnd;

// The intro: a video, a Flash movie or a picture in a window of its own before the first page.
// Run shows it and returns when the movie has finished (a Flash movie: when it sends the
// FSCommand "quit") or the viewer has skipped it, waiting for events in between.
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
        // A Flash movie's frame size from its header; none when it cannot be read.
        std::optional<QSize> movieSize;
        std::function<void(const FlashLogEntry&)> flashLog;
    };

    explicit CIntroVideoWnd(Setup setup);
    ~CIntroVideoWnd() override;

    void Run();
    // Ends the intro (once), logging why.
    void End(const char* reason);

    // The window size and the media rectangle in it, by the window and size modes.
    static QSize WindowSize(const CIntroVideoSettings& settings, QSize media, QSize screen);
    static QRect MediaRect(const CIntroVideoSettings& settings, QSize media, QSize client);

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The Flash player at the media rectangle, playing the movie; false when none can be made.
    bool StartFlash();
    void Log(const char* action, const std::string& reason = {});

    Setup setup;
    QImage picture;
    QPointer<CDirectShowPlayerWnd> player;
    std::unique_ptr<CKXFlashWindow> flash;
    QEventLoop loop;
    bool skippable = true;
    bool running = false;
    QRect mediaRect;
};
