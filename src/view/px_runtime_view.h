#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "engine/px_runtime_doc.h"
#include "media/video/intro_video_wnd.h"
#include "platform/qt/kx_wnd.h"
#include "view/document_object_services.h"
#include "view/objects/object_host.h"
#include "view/transition_player.h"

class CDIBSMemDC;
class CISImageEx;
class CObjectView;
class CVantorixMenuPage;

// The one view of the main frame: it paints the current page through the off-screen surface,
// routes the pointer to the page's objects, turns page-shown, audio and page-change
// notifications into the document's calls, and brings the project to its first page.
class CPXRuntimeView : public CKXWnd, public CPXViewServices, public CObjectHost {
    Q_OBJECT
public:
    enum Message { UM_PAGE_SHOWN = 1032, UM_AUDIO_EVENT = 1033, UM_JUMP_PAGE = 1091, UM_IGNORED = 1224 };

    CPXRuntimeView(CPXRuntimeDoc& document, QWidget* parent);

    // The first update: _PageStart, the debug start, the project's "On Startup", the first page.
    void OnInitialUpdate();
    // The frame's own services the view reaches through.
    std::function<void(const std::string&)> setCaption;
    std::function<void()> postClose;

    // CPXViewServices
    bool Exists() const override { return true; }
    void SetCaption(const std::string& caption) override;
    void EnableMainWindow() override;
    void FocusMainWindow() override;
    void InvalidateView() override;
    void RedrawViewNow() override;
    void RedrawRectNow(const VxRect& rect) override;
    bool HasPainted() const override { return !firstPaintPending; }
    void PostPageShown(int index) override;
    void PostJumpPage(int index, bool force) override;
    void PostAudioEvent(int state, int channel) override;
    void PostClose() override;
    int PageOriginX() const override { return originX; }
    int PageOriginY() const override { return originY; }
    void FinishPageChange() override;
    void ResetDisplayStates(CVantorixMenuPage& page) override;
    void LeavePage(CVantorixMenuPage& page, bool everyObject) override;
    bool ReloadObject(CVantorixBaseObject& object) override;
    void MeasureObject(CVantorixBaseObject& object) override;
    bool CaptureTransitionPictures(int newPageIndex) override;
    void RunTransition(const CKXTransitionDLLInfo& plugin, const std::string& settings) override;

    // CObjectHost
    CObjectServices& Services() override { return objectServices; }
    void SetObjectCursor(int kind) override;
    // Looks at the pointer again at its current position, so hover states follow a change.
    void RefreshHover() override;
    void InvalidateRect(const VxRect& rect) override;
    void BeginCapture(CObjectView& object, int part, bool repeat) override;
    void EndCapture() override;
    QWidget* WindowParent() override { return this; }
    static constexpr int repeatTimerId = 2;

    QRect GetPageRect() const;
    void RebuildTooltips();
    // Releases everything the current page's objects hold (the window is closing).
    void LeaveCurrentPage();
    // Ends the intro and the current page's object windows (their movies) once the closing
    // scripts have run; the window itself closes a moment later.
    void EndMedia();
    // Headless runs have no other application that could be active.
    bool alwaysActive = false;
    // What the window shows inside the page rectangle, as a 24-bit picture.
    bool CaptureScreen(CISImageEx* image);
    // Page pageIndex painted off-screen (background and drawn objects), cropped to the page.
    void RenderPageImage(CISImageEx* image, int pageIndex);
    // The screen size the page is laid out against.
    std::function<QSize()> screenSize;
    // A call just before the intro shows (a replay starts there).
    std::function<void()> beforeIntro;
    // The intro window's icon; none: the application's.
    QIcon introIcon;
    // What the screen settling before a page's or audio script serves; none: the waiting
    // events. Replaced by tests that choose what a settle finds.
    std::function<void()> settlePump;
    // The intro window while it shows, else null.
    QWidget* IntroWindow() const { return intro.get(); }

protected:
    std::intptr_t OnMessage(int message, std::intptr_t wParam, std::intptr_t lParam) override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void OnTimer(int id) override;
    void OnPaint(const QRect& clipBox) override;

private:
    // Makes, shows and hides the windows of the current page's objects.
    void ShowObjectWindows();
    // The project's intro, when it has one and the scripts still want it.
    void ShowIntro();
    std::unique_ptr<CIntroVideoWnd> intro;
    void LayOutPage();
    void PaintPage(CVantorixMenuPage& page, CDIBSMemDC& dc, bool withObjects);

    // The topmost object that takes the pointer at point, searching from the last object.
    CVantorixBaseObject* ObjectAt(QPoint point) const;
    static CVantorixBaseObject* TopmostAt(const std::vector<std::shared_ptr<CVantorixBaseObject>>& objects,
                                          QPoint point);
    void PointerMoved(QPoint point);
    void GrabPointer(bool grab);
    // Serves the events that are waiting, so that the screen shows the page; the view's own
    // notifications among them wait for the top of the event loop.
    void LetTheScreenSettle();

    CPXRuntimeDoc& document;
    CDocumentObjectServices objectServices{document};
    std::vector<CVantorixBaseObject*> pressed;
    CObjectView* captured = nullptr;  // the paragraph holding the pointer for its scroll bar
    QPoint lastPointer;
    int settling = 0;
    struct DeferredMessage {
        int message;
        std::intptr_t wParam, lParam;
    };
    std::vector<DeferredMessage> deferredMessages;
    bool windowDrag = false;
    QPoint dragStart;
    int pageWidth = 0;
    int pageHeight = 0;
    int originX = 0;
    int originY = 0;
    bool firstPaintPending = true;
    // While a transition plays, paints show its frames and nothing else.
    const QImage* transitionFrame = nullptr;
    // The client area with the old page, and with the new one, for the coming transition.
    QImage transitionScreen, transitionNewPage;
    bool objectWindowsPending = false;
};
