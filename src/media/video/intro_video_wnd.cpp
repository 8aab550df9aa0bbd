#include "media/video/intro_video_wnd.h"

#include "media/flash/flash_host.h"
#include "platform/ascii_case.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "graphics/drawing/paint_helpers.h"
#include "graphics/image/cis_image_ex.h"
#include "media/video/direct_show_player_wnd.h"
#include "media/video/video_size_probe.h"

namespace {

enum MediaKind { kVideo = 0, kFlash = 1, kImage = 2 };

// The media size scaled by the size mode: 0 half, 2 double, 4 the custom size; 1 and 3 keep it.
QSize Scaled(const CIntroVideoSettings& settings, QSize media) {
    switch (settings.sizeMode) {
        case 0:
            return media / 2;
        case 2:
            return media * 2;
        case 4:
            return QSize(settings.customWidth, settings.customHeight);
        default:
            return media;
    }
}

QRect Centred(QSize size, QSize within) {
    return QRect(QPoint(within.width() / 2 - size.width() / 2, within.height() / 2 - size.height() / 2), size);
}

}  // namespace

QSize CIntroVideoWnd::WindowSize(const CIntroVideoSettings& settings, QSize media, QSize screen) {
    switch (settings.windowMode) {
        case 0:
            return screen;
        case 1:
            return Scaled(settings, media);
        default:
            return QSize(settings.windowWidth, settings.windowHeight);
    }
}

QRect CIntroVideoWnd::MediaRect(const CIntroVideoSettings& settings, QSize media, QSize client) {
    QSize size = settings.sizeMode == 3 ? client : Scaled(settings, media);
    return Centred(size, client);
}

CIntroVideoWnd::CIntroVideoWnd(Setup setupIn) : QWidget(nullptr), setup(std::move(setupIn)) {
    setObjectName("IntroWindow");
    const CIntroVideoSettings& settings = setup.settings;
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (settings.caption) {
        flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    }
    setWindowFlags(flags);
    setWindowTitle(QString::fromLocal8Bit(settings.title.c_str()));
    if (!setup.icon.isNull()) setWindowIcon(setup.icon);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CIntroVideoWnd::~CIntroVideoWnd() {
    qApp->removeEventFilter(this);
}

void CIntroVideoWnd::Log(const char* action, const std::string& reason) {
    if (!setup.log) return;
    IntroLogEntry entry;
    entry.action = action;
    entry.kind = setup.settings.mediaKind;
    entry.file = setup.hostPath;
    for (auto [to, from] : {std::pair{&entry.window, geometry()}, {&entry.media, mediaRect}}) {
        *to = {from.left(), from.top(), from.right() + 1, from.bottom() + 1};
    }
    entry.reason = reason;
    setup.log(entry);
}

void CIntroVideoWnd::End(const char* reason) {
    if (!running) return;
    running = false;
    Log("end", reason);
    loop.quit();
}

void CIntroVideoWnd::Run() {
    const CIntroVideoSettings& settings = setup.settings;
    int kind = settings.mediaKind;
    if (kind != kVideo && kind != kImage && kind != kFlash) {
        running = true;
        End("failed");
        return;
    }
    QSize media(settings.customWidth, settings.customHeight);
    if (kind == kFlash) {
        if (setup.movieSize) media = *setup.movieSize;
    } else if (kind == kVideo) {
        media = ProbeVideoSize(setup.hostPath);
    } else {
        CISImageEx image;
        if (image.LoadFile(setup.hostPath) != 0 || (image.Depth() < 24 && image.ConvertTo24() != 0)) {
            running = true;
            End("failed");
            return;
        }
        picture = ToQImage(image);
    }
    QSize size = WindowSize(settings, media, setup.screen).expandedTo(QSize(1, 1));
    setGeometry(Centred(size, setup.screen));
    // A picture shows at its own size in the top-left corner.
    mediaRect = kind == kImage ? QRect(QPoint(0, 0), picture.size()) : MediaRect(settings, media, size);
    // What has no end of its own can always be skipped: a picture, or a movie that does not play.
    skippable = settings.skipOnInput != 0 || kind == kImage;
    if (kind == kVideo) {
        VideoPlayerSetup look;
        look.keepAspect = false;
        look.controllerShown = false;
        look.showButtons = false;
        look.showSlider = false;
        look.timeDisplay = 0;
        look.videoBackColor = settings.backColor;
        look.audio = setup.videoSound;
        look.log = setup.videoLog;
        player = new CDirectShowPlayerWnd(this, std::move(look));
        player->setGeometry(mediaRect);
        player->SetLoop(false);
        player->onRaise = [this](const char* event) {
            if (std::string(event) == "Finished") End("finished");
        };
        if (!player->LoadMovie(setup.hostPath)) skippable = true;
    }
    if (kind == kFlash && !StartFlash()) {
        running = true;
        End("failed");
        return;
    }
    running = true;
    Log("start");
    qApp->installEventFilter(this);
    show();
    if (player) {
        player->show();
        player->Play();
        player->setFocus();
    }
    // Waits for events; the end of the movie or a skip quits.
    if (running) loop.exec();
    qApp->removeEventFilter(this);
    if (player) delete player;
    flash.reset();
    hide();
}

bool CIntroVideoWnd::StartFlash() {
    FlashWindowSetup look;
    look.parent = this;
    look.rect = mediaRect;
    look.movieFile = setup.hostPath;
    look.log = setup.flashLog;
    look.onFsCommand = [this](const std::string& command, const std::string&) {
        if (EqualsIgnoringAsciiCase(command, "quit")) End("quit");
    };
    // A movie the player gives up on never says quit.
    look.onFailed = [this] { End("failed"); };
    std::string error;
    flash = CKXFlashHost::Instance().CreateWindow(look, error);
    if (!flash) return false;
    flash->PutMovie(setup.hostPath);
    flash->PutQuality2("high");
    flash->Play();
    flash->Widget()->show();
    flash->Widget()->setFocus();
    return true;
}

bool CIntroVideoWnd::eventFilter(QObject* watched, QEvent* event) {
    bool press =
        event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    // A key or a click anywhere skips, and goes no further.
    if (running && skippable && (event->type() == QEvent::KeyPress || press)) {
        End("skipped");
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CIntroVideoWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ColorOf(setup.settings.backColor));
    if (!picture.isNull()) painter.drawImage(0, 0, picture);
    // A window without a caption has no frame of the window manager's: its border is ours.
    if (setup.settings.border && !setup.settings.caption) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
