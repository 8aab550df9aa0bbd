#pragma once

#include "view/objects/object_view.h"

// A Flash object: its content plays in a window of its own, which it gives up whenever its page
// is left. Until playback lands it highlights and clicks as a plain object.
class CMediaWindowView : public CObjectView {
public:
    CMediaWindowView(CVantorixBaseObject& object, bool showsTooltip)
        : CObjectView(object), showsTooltip(showsTooltip) {}
    bool OwnsWindow() const override { return true; }
    bool ShowsTooltip() const override { return showsTooltip; }

private:
    bool showsTooltip;
};
