#pragma once

#include <functional>

#include "engine/px_runtime_doc.h"
#include "platform/qt/kx_wnd.h"

class CDIBSMemDC;
class CISImageEx;
class CVantorixMenuPage;

// The prefix of an "On Audio" script: the page, the channel and the state's word.
std::string AudioEventPrefix(const std::string& pageName, int channel, int state);

// The one view of the main frame: it paints the current page through the off-screen surface,
// turns page-shown, audio and page-change notifications into the document's work, and brings
// the project to its first page.
class CPXRuntimeView : public CKXWnd, public CPXViewServices {
    Q_OBJECT
public:
    enum Message { UM_PAGE_SHOWN = 1032, UM_AUDIO_EVENT = 1033, UM_JUMP_PAGE = 1091, UM_IGNORED = 1224 };

    CPXRuntimeView(CPXRuntimeDoc& document, QWidget* parent);

    // The first update: _PageStart, the debug start, the project's "On Startup", the first page.
    void OnInitialUpdate();
    // "On Key" for a Windows virtual-key code and the modifiers held.
    void OnKey(int virtualKey, bool ctrl, bool alt, bool shift);

    // The frame's own services the view reaches through.
    std::function<void(const std::string&)> setCaption;
    std::function<void()> postClose;

    // CPXViewServices
    void SetCaption(const std::string& caption) override;
    void EnableMainWindow() override;
    void FocusMainWindow() override;
    void InvalidateView() override;
    void RedrawViewNow() override;
    void RedrawRectNow(const VxRect& rect) override;
    bool HasPainted() const override { return !firstPaintPending; }
    void PostPageShown(int index) override;
    void PostJumpPage(int index, bool force) override;
    void SendJumpPage(int index, bool force) override;
    void PostClose() override;
    int PageOriginX() const override { return originX; }
    int PageOriginY() const override { return originY; }
    void UpdateView() override { update(); }
    void LeavePage(CVantorixBaseObject& object) override;
    bool ReloadImage(CVantorixBaseObject& object) override;
    void MeasureLabel(CVantorixBaseObject& object) override;
    bool Exists() const override { return true; }

    QRect GetPageRect() const;
    // The cursor of an object kind (0 the arrow); other kinds leave the cursor as it is.
    void SetObjectCursor(int kind);
    // Looks at the pointer again at its current position, so hover states follow a change.
    void RefreshHover() override;
    void RebuildTooltips() override;
    // Headless runs have no other application that could be active.
    bool alwaysActive = false;
    // What the window shows inside the page rectangle, as a 24-bit picture.
    bool CaptureScreen(CISImageEx* image);
    // Page pageIndex painted off-screen (background and drawn objects), cropped to the page.
    void RenderPageImage(CISImageEx* image, int pageIndex);
    // The screen size the page is laid out against.
    std::function<QSize()> screenSize;

protected:
    std::intptr_t OnMessage(int message, std::intptr_t wParam, std::intptr_t lParam) override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void OnPaint(const QRect& clipBox) override;

private:
    void LayOutPage();
    void PaintPage(CVantorixMenuPage& page, CDIBSMemDC& dc, bool withObjects);
    void RunPageShown(int index);
    // "On Audio" of the current page for a channel's new state (0 finish, 1 pause, 2 play, 3 stop).
    void RunAudioEvent(int state, int channel);

    // The topmost object that takes the pointer at point, searching from the last object.
    CVantorixBaseObject* ObjectAt(QPoint point) const;
    void PointerMoved(QPoint point);

    CPXRuntimeDoc& document;
    std::vector<CVantorixBaseObject*> pressed;
    bool windowDrag = false;
    QPoint dragStart;
    int pageWidth = 0;
    int pageHeight = 0;
    int originX = 0;
    int originY = 0;
    bool firstPaintPending = true;
};
