#pragma once

#include <QPointer>

#include "media/video/direct_show_player_wnd.h"
#include "view/objects/object_view.h"

class CObjectHost;
class CVantorixVideoObject;

// A video object: while its page shows, a player window over its rectangle (made at the first
// draw), or the placeholder when its file is missing. Enter highlights it (display state 1), as
// images and labels do, so the first press after entering plays the click sound.
class CVideoView : public CObjectView {
public:
    explicit CVideoView(CVantorixVideoObject& video);
    ~CVideoView() override;

    void Paint(CDIBSMemDC& dc, const CObjectServices& services) override;
    bool OwnsWindow() const override { return true; }
    bool ShowsTooltip() const override { return false; }
    void ShowWindow(CObjectHost& host) override;
    void LeavePage() override;
    void Release(CObjectHost& host) override;

protected:
    const ObjectSounds* Sounds() const override;

private:
    bool FileMissing(const CObjectServices& services) const;
    void CreatePlayer(CObjectHost& host);

    CVantorixVideoObject& video;
    // A child of the view, which may go first when the run ends.
    QPointer<CDirectShowPlayerWnd> player;
    // The document whose identifier the window holds.
    CObjectServices* servicesOfWindow = nullptr;
    // Clears the record's player when the view deletes the window first.
    QMetaObject::Connection playerGone;
};
