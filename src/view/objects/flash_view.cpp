#include "view/objects/flash_view.h"

#include <string_view>
#include <utility>

#include "graphics/drawing/broken_link_painter.h"
#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "media/flash/flash_host.h"
#include "media/flash_settings.h"
#include "platform/host_path.h"
#include "project/vantorix_flash_object.h"
#include "resources/kx_flash_file_info.h"
#include "view/objects/object_host.h"
#include "view/objects/object_services.h"

CFlashView::CFlashView(CVantorixFlashObject& flash) : CObjectView(flash), flash(flash) {}

CFlashView::~CFlashView() {
    DestroyPlayer();
}

bool CFlashView::FileMissing(const CObjectServices& services) const {
    return flash.file.empty() || !IsRegularFile(services.FileHostPath(flash.file));
}

void CFlashView::Paint(CDIBSMemDC& dc, const CObjectServices& services) {
    if (playerWidget || !flash.visible) return;
    if (!creationFailed && !FileMissing(services)) return;
    CKXBrokenLinkPainter placeholder;
    placeholder.SetTarget(4, ToQRect(flash.rect), flash.file);
    placeholder.Paint(dc.Painter(), services.TextCodePage());
}

void CFlashView::ShowWindow(CObjectHost& host) {
    if (!playerWidget) {
        // A missing movie is looked for again at the next draw; a player that could not be made
        // is not tried again while the page shows.
        if (creationFailed || FileMissing(host.Services())) return;
        CreatePlayer(host);
        return;
    }
    playerWidget->setVisible(flash.visible != 0);
    playerWidget->setEnabled(flash.enabled != 0);
}

void CFlashView::CreatePlayer(CObjectHost& host) {
    CObjectServices& services = host.Services();
    std::string movie = services.FileHostPath(flash.file);
    FlashWindowSetup setup;
    setup.parent = host.WindowParent();
    setup.rect = ToQRect(flash.rect);
    setup.visible = flash.visible != 0;
    setup.enabled = flash.enabled != 0;
    setup.movieFile = movie;
    setup.log = services.FlashLog();
    const auto& log = setup.log;
    // What is no movie would only show Ruffle's error screen: the placeholder says it better.
    CKXFlashFileInfo header;
    if (!header.Open(movie) && std::string_view(header.signature.data(), 3) != "ZWS") {
        if (log) log({"error", movie, "not a Flash movie"});
        PlayerFailed(host);
        return;
    }
    owner = std::make_shared<CFlashView*>(this);
    setup.onFailed = [weak = std::weak_ptr<CFlashView*>(owner), &host] {
        if (auto view = weak.lock()) (*view)->PlayerFailed(host);
    };
    std::string error;
    std::unique_ptr<CKXFlashWindow> made = CKXFlashHost::Instance().CreateWindow(setup, error);
    if (!made) {
        PlayerFailed(host);
        return;
    }
    player = made.release();
    playerWidget = player->Widget();
    CVantorixFlashObject* record = &flash;
    CKXFlashControl* control = player;
    playerGone = QObject::connect(playerWidget, &QObject::destroyed, [this, record, control] {
        if (record->control == control) record->control = nullptr;
        player = nullptr;
    });
    flash.windowId = services.AcquireWindowId(false);
    servicesOfWindow = &services;
    flash.control = player;
    if (log) log({"created", movie, ""});
    if (!ApplyFlashSettings(*player, flash, movie) && log) log({"error", movie, "the player refused a setting"});
}

void CFlashView::PlayerFailed(CObjectHost& host) {
    creationFailed = true;
    DestroyPlayer();
    host.InvalidateRect(flash.rect);
}

void CFlashView::DestroyPlayer() {
    owner.reset();
    flash.control = nullptr;
    if (!playerWidget) return;
    QObject::disconnect(playerGone);
    playerWidget->hide();
    // A script the page runs may be what leaves it: the window goes once the event loop has it.
    playerWidget->deleteLater();
    playerWidget = nullptr;
    player = nullptr;
}

void CFlashView::LeavePage() {
    if (servicesOfWindow) servicesOfWindow->ReleaseWindowId(false, std::exchange(flash.windowId, -1));
    servicesOfWindow = nullptr;
    creationFailed = false;
    DestroyPlayer();
}
