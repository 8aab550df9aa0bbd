#include "view/objects/video_view.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <cstring>
#include <utility>

#include "graphics/drawing/broken_link_painter.h"
#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "media/video/direct_show_player_wnd.h"
#include "platform/host_path.h"
#include "project/event_names.h"
#include "project/vantorix_video_object.h"
#include "view/objects/object_host.h"
#include "view/objects/object_services.h"

namespace {

// The player's events as the object's.
const char* ObjectEventOf(const char* event) {
    if (std::strcmp(event, "Play") == 0) return "On Play";
    if (std::strcmp(event, "Pause") == 0) return "On Pause";
    if (std::strcmp(event, "Stop") == 0) return "On Stop";
    if (std::strcmp(event, "Finished") == 0) return "On Finish";
    return nullptr;
}

}  // namespace

CVideoView::CVideoView(CVantorixVideoObject& video) : CObjectView(video), video(video) {}

CVideoView::~CVideoView() {
    // The record is being destroyed with this view: only the window is left to end.
    if (!player) return;
    QObject::disconnect(playerGone);
    delete player;
}

const ObjectSounds* CVideoView::Sounds() const {
    return &video.sounds;
}

bool CVideoView::FileMissing(const CObjectServices& services) const {
    if (video.file.empty()) return false;
    return !IsRegularFile(services.FileHostPath(video.file));
}

void CVideoView::Paint(CDIBSMemDC& dc, const CObjectServices& services) {
    if (player || !video.visible || !FileMissing(services)) return;
    CKXBrokenLinkPainter placeholder;
    placeholder.SetTarget(5, ToQRect(video.rect), video.file);
    placeholder.Paint(dc.Painter(), services.TextCodePage());
}

void CVideoView::ShowWindow(CObjectHost& host) {
    if (!player) {
        if (FileMissing(host.Services())) return;  // tried again at the next draw
        CreatePlayer(host);
        return;
    }
    player->setVisible(video.visible != 0);
    player->setEnabled(video.enabled != 0);
}

void CVideoView::CreatePlayer(CObjectHost& host) {
    CObjectServices& services = host.Services();
    VideoPlayerSetup setup = VideoPlayerSetup::From(video);
    if (video.controllerStyle == 2) setup.skinPath = services.PluginFileHostPath("vt_" + video.skinName + ".png");
    setup.audio = services.VideoSound();
    setup.border = video.border != 0;
    setup.log = services.VideoLog();
    QWidget* parent = host.WindowParent();
    video.windowId = services.AcquireWindowId(true);
    servicesOfWindow = &services;
    player = new CDirectShowPlayerWnd(parent, std::move(setup));
    CVantorixVideoObject* record = &video;
    CKXVideoPlayer* made = player;
    playerGone = QObject::connect(player, &QObject::destroyed, [record, made] {
        if (record->player == made) record->player = nullptr;
    });
    player->setGeometry(ToQRect(video.rect));
    player->setEnabled(video.enabled != 0);
    player->setVisible(video.visible != 0);
    video.player = player;
    CObjectHost* hostPointer = &host;
    player->onRaise = [this, hostPointer](const char* event) {
        if (const char* name = ObjectEventOf(event)) RunEvent(*hostPointer, video, name, false);
    };
    player->onPointer = [this, parent](QMouseEvent* event, QPoint local) {
        QPoint at = player->mapTo(parent, local);
        QMouseEvent forwarded(event->type(), at, event->globalPosition(), event->button(), event->buttons(),
                              event->modifiers());
        QCoreApplication::sendEvent(parent, &forwarded);
    };
    player->SetLoop(video.loop != 0);
    std::string path = video.file.empty() ? std::string() : services.FileHostPath(video.file);
    player->LoadMovie(path);
    if (video.playOnShow) player->Play();
    host.InvalidateRect(video.rect);
}

void CVideoView::LeavePage() {
    video.player = nullptr;
    if (servicesOfWindow) servicesOfWindow->ReleaseWindowId(true, std::exchange(video.windowId, -1));
    servicesOfWindow = nullptr;
    if (!player) return;
    // A script run by the player's own event may be what leaves the page: the window goes once
    // the event loop has it back.
    player->onRaise = nullptr;
    player->onPointer = nullptr;
    QObject::disconnect(playerGone);
    player->hide();
    player->deleteLater();
    player = nullptr;
}

void CVideoView::Release(CObjectHost& host) {
    if (!video.visible) {
        video.displayState = DisplayState::normal;
        return;
    }
    video.displayState = DisplayState::highlighted;
    RunEvent(host, video, VxEvent::onClick, true);
    video.displayState = DisplayState::highlighted;
}
