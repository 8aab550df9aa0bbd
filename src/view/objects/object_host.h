#pragma once

#include "project/serializable.h"

class CObjectView;
class CObjectServices;
class QWidget;

// What a page object asks of the view it is shown in while it reacts to the pointer.
class CObjectHost {
public:
    virtual ~CObjectHost() = default;
    virtual CObjectServices& Services() = 0;
    // The cursor of a cursor kind (0 the arrow); unknown kinds keep the cursor as it is.
    virtual void SetObjectCursor(int kind) = 0;
    virtual void RedrawRectNow(const VxRect& rect) = 0;
    // Looks at the pointer again, so hover states follow what a script changed.
    virtual void RefreshHover() = 0;
    // Marks a rectangle for the next paint.
    virtual void InvalidateRect(const VxRect& rect) = 0;
    // The object takes the pointer for a scroll-bar part: every move goes to it until the capture
    // ends, and a repeat tick comes every 100 ms unless the part drags a thumb.
    virtual void BeginCapture(CObjectView& object, int part, bool repeat) = 0;
    virtual void EndCapture() = 0;
    // The widget object windows are children of; pointer input sent to it counts as the page's.
    virtual QWidget* WindowParent() = 0;
};
