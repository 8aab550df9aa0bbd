#pragma once

#include "view/objects/object_view.h"

// A video or Flash object: its content plays in a window of its own, which it gives up whenever
// its page is left. Until playback lands it highlights and clicks as a plain object; a video
// shows no tooltip of the page (its controller has its own).
class CMediaWindowView : public CObjectView {
public:
    CMediaWindowView(CVantorixBaseObject& object, bool showsTooltip)
        : CObjectView(object), showsTooltip(showsTooltip) {}
    bool OwnsWindow() const override { return true; }
    bool ShowsTooltip() const override { return showsTooltip; }

private:
    bool showsTooltip;
};
