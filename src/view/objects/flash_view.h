#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

#include "view/objects/object_view.h"

class CKXFlashWindow;
class CVantorixFlashObject;

// A Flash object: while its page shows, a player window over its rectangle (made at the first
// draw), or the placeholder when its movie is missing or no player can be made. The player
// takes the pointer itself: the object has no hover or click of its own and raises no events.
class CFlashView : public CObjectView {
public:
    explicit CFlashView(CVantorixFlashObject& flash);
    ~CFlashView() override;

    void Paint(CDIBSMemDC& dc, const CObjectServices& services) override;
    bool HitTest(QPoint) override { return false; }
    bool OwnsWindow() const override { return true; }
    void ShowWindow(CObjectHost& host) override;
    void LeavePage() override;

private:
    bool FileMissing(const CObjectServices& services) const;
    void CreatePlayer(CObjectHost& host);
    void DestroyPlayer();
    // No player, or none any more: the placeholder shows, and no player is tried again while
    // the page shows.
    void PlayerFailed(CObjectHost& host);

    CVantorixFlashObject& flash;
    // The player; its widget is a child of the view, which may go first when the run ends.
    CKXFlashWindow* player = nullptr;
    QPointer<QWidget> playerWidget;
    QMetaObject::Connection playerGone;
    // Held by the player's failure call while this object still owns that player.
    std::shared_ptr<CFlashView*> owner;
    bool creationFailed = false;
    CObjectServices* servicesOfWindow = nullptr;
};
