#include "view/px_runtime_view.h"

#include "resources/kx_flash_file_info.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWheelEvent>

#include <utility>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "graphics/image/cis_image_ex.h"
#include "platform/code_page.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_menu_page.h"
#include "script/lua50_dialect.h"
#include "script/project_files.h"
#include "view/object_cursors.h"
#include "view/objects/object_factory.h"
#include "view/objects/object_view.h"
#include "view/page_background.h"

CPXRuntimeView::CPXRuntimeView(CPXRuntimeDoc& document, QWidget* parent) : CKXWnd(parent), document(document) {
    // Every pixel is painted from the off-screen surface; no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    document.SetView(this);
}

void CPXRuntimeView::OnInitialUpdate() {
    if (!document.RunStartupEvents()) return;
    ShowIntro();
    // The window closed while the intro showed: no page follows.
    if (document.Closing()) return;
    setFocus();
    document.Audio().PlayNext(true);
    document.ShowPage(document.GetStartPageIndex(), true);
}

void CPXRuntimeView::ShowIntro() {
    const CIntroVideoSettings& settings = document.Project()->info.introSettings;
    if (!settings.enabled || settings.file.empty() || document.SuppressProjectEvents() ||
        !document.ScriptEngine().GetGlobalBoolean("_ShowIntroVideo")) {
        return;
    }
    CIntroVideoWnd::Setup setup;
    setup.settings = settings;
    setup.hostPath = ScriptHostPath(ResolveSourcePath(document, settings.file));
    setup.screen = screenSize ? screenSize() : QGuiApplication::primaryScreen()->size();
    setup.videoSound = document.videoSound;
    setup.videoLog = document.VideoLog();
    setup.log = [this](const IntroLogEntry& entry) { document.Observer().IntroEvent(entry); };
    setup.icon = introIcon;
    setup.flashLog = document.FlashLog();
    if (settings.mediaKind == 1 && document.Registry()) {
        CKXFlashFileInfo movie;
        int height = 0, width = 0;
        if (movie.Open(setup.hostPath) && movie.GetMovieSize(*document.Registry(), height, width) && width > 0 &&
            height > 0) {
            setup.movieSize = QSize(width, height);
        }
    }
    intro = std::make_unique<CIntroVideoWnd>(std::move(setup));
    if (beforeIntro) beforeIntro();
    intro->Run();
    intro.reset();
}

void CPXRuntimeView::SetObjectCursor(int kind) {
    if (std::optional<QCursor> cursor = CursorForKind(kind)) setCursor(*cursor);
}

CVantorixBaseObject* CPXRuntimeView::ObjectAt(QPoint point) const {
    CVantorixMenuPage* page = document.CurrentPage();
    return page ? TopmostAt(page->Objects(), point) : nullptr;
}

CVantorixBaseObject* CPXRuntimeView::TopmostAt(const std::vector<std::shared_ptr<CVantorixBaseObject>>& objects,
                                               QPoint point) {
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if (ObjectViewOf(**it).HitTest(point)) return it->get();
    }
    return nullptr;
}

void CPXRuntimeView::PointerMoved(QPoint point) {
    if (captured) {
        captured->CaptureMove(*this, point);
        return;
    }
    if (windowDrag) {
        window()->move(window()->pos() + (point - dragStart));
        return;
    }
    CVantorixMenuPage* page = document.CurrentPage();
    if ((!alwaysActive && !QApplication::activeWindow()) || !page) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    // The page may change under the scripts these calls run; walk a copy of its list.
    auto objects = page->Objects();
    CVantorixBaseObject* over = TopmostAt(objects, point);
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if (it->get() != over) ObjectViewOf(**it).Leave(*this);
    }
    if (over) {
        ObjectViewOf(*over).Enter(*this);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void CPXRuntimeView::mouseMoveEvent(QMouseEvent* event) {
    PointerMoved(event->position().toPoint());
}

void CPXRuntimeView::mousePressEvent(QMouseEvent* event) {
    CVantorixMenuPage* page = document.CurrentPage();
    if (!page) return;
    QPoint point = event->position().toPoint();
    lastPointer = point;
    if (event->button() != Qt::LeftButton) {
        if (CVantorixBaseObject* hit = ObjectAt(point)) pressed.push_back(hit);
        return;
    }
    // From the topmost object down: the first that takes the pointer is pressed; a paragraph
    // whose scroll bar is under the point scrolls instead.
    auto objects = page->Objects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        CObjectView& object = ObjectViewOf(**it);
        if (object.HitTest(point)) {
            pressed.push_back(it->get());
            object.Press(*this);
            return;
        }
        if (object.BarsContain(point)) {
            object.ScrollbarPress(*this, point);
            return;
        }
    }
    pressed.clear();
    // A caption-less window moves by its page when the project lets it.
    const CVantorixProjectInfo& info = document.Project()->info;
    int style = info.windowStyle;
    if ((style == 1 || style == 2 || style == 4) && info.movable) {
        windowDrag = true;
        dragStart = point;
        setCursor(Qt::SizeAllCursor);
        GrabPointer(true);
    }
}

void CPXRuntimeView::mouseReleaseEvent(QMouseEvent* event) {
    if (!document.CurrentPage() || event->button() != Qt::LeftButton) return;
    if (captured) {
        captured->ScrollbarRelease(*this);
        return;
    }
    if (windowDrag) {
        GrabPointer(false);
        setCursor(Qt::ArrowCursor);
        windowDrag = false;
        return;
    }
    QPoint point = event->position().toPoint();
    std::vector<CVantorixBaseObject*> wasPressed;
    wasPressed.swap(pressed);
    auto objects = document.CurrentPage()->Objects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        CObjectView& object = ObjectViewOf(**it);
        if (object.HitTest(point)) {
            if (std::find(wasPressed.begin(), wasPressed.end(), it->get()) != wasPressed.end()) object.Release(*this);
        } else if (object.VerticalBarContains(point)) {
            object.ScrollbarRelease(*this);
        }
    }
}

void CPXRuntimeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!document.CurrentPage()) return;
    if (CVantorixBaseObject* hit = ObjectAt(event->position().toPoint())) pressed.push_back(hit);
}

void CPXRuntimeView::contextMenuEvent(QContextMenuEvent* event) {
    // Only the design tool's preview offers a way out on empty page area.
    if (!document.CurrentPage() || !document.PreviewMode() || ObjectAt(event->pos())) return;
    QMenu menu(this);
    menu.addAction("&Exit", this, [this] { PostClose(); });
    menu.exec(event->globalPos());
}

void CPXRuntimeView::GrabPointer(bool grab) {
    // The off-screen platform of headless runs has no pointer to grab: every event already comes
    // to this window there.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    if (grab) {
        grabMouse();
    } else {
        releaseMouse();
    }
}

void CPXRuntimeView::wheelEvent(QWheelEvent* event) {
    CVantorixMenuPage* page = document.CurrentPage();
    int delta = event->angleDelta().y();
    if (!page || delta == 0) return;
    // One line per wheel message, for the topmost paragraph under the pointer.
    QPoint point = event->position().toPoint();
    auto objects = page->Objects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if (ObjectViewOf(**it).Wheel(*this, point, delta)) return;
    }
}

void CPXRuntimeView::InvalidateRect(const VxRect& rect) {
    update(ToQRect(rect));
}

void CPXRuntimeView::BeginCapture(CObjectView& object, int, bool repeat) {
    captured = &object;
    if (repeat) SetTimer(repeatTimerId, 100);
    GrabPointer(true);
}

void CPXRuntimeView::EndCapture() {
    GrabPointer(false);
    if (captured) captured->CaptureEnded();
    captured = nullptr;
    if (IsTimerSet(repeatTimerId)) KillTimer(repeatTimerId);
}

void CPXRuntimeView::OnTimer(int id) {
    if (id != repeatTimerId) return CKXWnd::OnTimer(id);
    if (!captured) {
        EndCapture();
        return;
    }
    // Where the pointer is now: the last place the pointer's events gave.
    captured->RepeatTick(*this, lastPointer);
}

void CPXRuntimeView::RefreshHover() {
    QPoint point = mapFromGlobal(QCursor::pos());
    if (rect().contains(point)) PointerMoved(point);
}

void CPXRuntimeView::RebuildTooltips() {
    // Tooltips are looked up by position when asked for (event()); registering means numbering.
    CVantorixMenuPage* page = document.CurrentPage();
    if (!page) return;
    int counter = 1;
    for (const auto& object : page->Objects()) {
        if (!object->visible) continue;
        object->tooltipId = -1;
        if (object->tooltipText.empty()) continue;
        int id = counter++;
        if (ObjectViewOf(*object).ShowsTooltip()) object->tooltipId = id;
    }
}

bool CPXRuntimeView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (CVantorixMenuPage* page = document.CurrentPage()) {
            auto objects = page->Objects();
            for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
                const CVantorixBaseObject* object = it->get();
                if (object->visible && object->tooltipId > 0 && ToQRect(object->rect).contains(help->pos())) {
                    QToolTip::showText(help->globalPos(),
                                       QString::fromStdString(document.codePage.ToUtf8(object->tooltipText)), this,
                                       ToQRect(object->rect));
                    return true;
                }
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return CKXWnd::event(event);
}

void CPXRuntimeView::SetCaption(const std::string& caption) {
    if (setCaption) setCaption(caption);
}

void CPXRuntimeView::EnableMainWindow() {
    window()->setEnabled(true);
}

void CPXRuntimeView::FocusMainWindow() {
    window()->setFocus();
}

void CPXRuntimeView::InvalidateView() {
    update();
}

void CPXRuntimeView::RedrawViewNow() {
    repaint();
}

void CPXRuntimeView::RedrawRectNow(const VxRect& rect) {
    QRect box = ToQRect(rect);
    repaint(box);
}

void CPXRuntimeView::PostPageShown(int index) {
    PostMessage(UM_PAGE_SHOWN, index, 0);
}

void CPXRuntimeView::PostJumpPage(int index, bool force) {
    PostMessage(UM_JUMP_PAGE, index, force ? 1 : 0);
}

void CPXRuntimeView::PostAudioEvent(int state, int channel) {
    PostMessage(UM_AUDIO_EVENT, state, channel);
}

void CPXRuntimeView::PostClose() {
    if (postClose) postClose();
}

void CPXRuntimeView::FinishPageChange() {
    RebuildTooltips();
    RefreshHover();
    update();
}

void CPXRuntimeView::ResetDisplayStates(CVantorixMenuPage& page) {
    for (const auto& object : page.Objects()) object->displayState = ObjectViewOf(*object).InitialDisplayState();
}

void CPXRuntimeView::LeavePage(CVantorixMenuPage& page, bool everyObject) {
    // A page change ends a scroll-bar capture.
    if (captured) EndCapture();
    for (const auto& object : page.Objects()) {
        CObjectView& view = ObjectViewOf(*object);
        if (everyObject || view.OwnsWindow()) view.LeavePage();
    }
}

void CPXRuntimeView::LeaveCurrentPage() {
    if (CVantorixMenuPage* page = document.CurrentPage()) LeavePage(*page, true);
}

void CPXRuntimeView::EndMedia() {
    if (intro) intro->End("closed");
    if (CVantorixMenuPage* page = document.CurrentPage()) LeavePage(*page, false);
}

bool CPXRuntimeView::ReloadObject(CVantorixBaseObject& object) {
    return ObjectViewOf(object).Reload(objectServices);
}

void CPXRuntimeView::MeasureObject(CVantorixBaseObject& object) {
    ObjectViewOf(object).Measure(objectServices);
}

QRect CPXRuntimeView::GetPageRect() const {
    return QRect(originX, originY, std::min(pageWidth, width()), std::min(pageHeight, height()));
}

void CPXRuntimeView::LayOutPage() {
    const CVantorixProjectInfo& info = document.Project()->info;
    pageWidth = info.windowWidth;
    pageHeight = info.windowHeight;
    if (info.windowStyle == 3) {
        QSize screen = screenSize ? screenSize() : size();
        originX = std::max(0, (screen.width() - pageWidth) / 2);
        originY = std::max(0, (screen.height() - pageHeight) / 2);
    }
    document.ApplyPageOffset();
    RebuildTooltips();
}

void CPXRuntimeView::PaintPage(CVantorixMenuPage& page, CDIBSMemDC& dc, bool withObjects) {
    DrawPageBackground(page, dc, QRect(originX, originY, pageWidth, pageHeight), document);
    if (!withObjects) return;
    for (const auto& object : page.Objects()) {
        CObjectView& view = ObjectViewOf(*object);
        if (ToQRect(object->rect).intersects(dc.Box()) || view.PaintsOutsideBox()) view.Paint(dc, objectServices);
    }
}

void CPXRuntimeView::OnPaint(const QRect& clipBox) {
    if (transitionFrame) {
        QPainter(this).drawImage(clipBox, *transitionFrame, clipBox);
        return;
    }
    CVantorixMenuPage* page = document.CurrentPage();
    if (!page || clipBox.isEmpty()) return;
    CDIBSMemDC dc(clipBox, ColorOf(document.Project()->info.windowBackColor));
    if (firstPaintPending) LayOutPage();
    PaintPage(*page, dc, document.RedrawEnabled() && !document.SwitchingPage());
    if (firstPaintPending) {
        firstPaintPending = false;
        PostPageShown(document.CurrentPageIndex());
    }
    QPainter target(this);
    dc.CopyTo(target);
    // Object windows are made and shown from the event loop, not inside a paint: making one may
    // open a movie and run its "On Play".
    if (!objectWindowsPending) {
        objectWindowsPending = true;
        QMetaObject::invokeMethod(
            this, [this] { ShowObjectWindows(); }, Qt::QueuedConnection);
    }
}

void CPXRuntimeView::ShowObjectWindows() {
    objectWindowsPending = false;
    CVantorixMenuPage* page = document.CurrentPage();
    if (!page || document.SwitchingPage() || document.Closed()) return;
    // A script run from a window's event may change the page: the list is the one of the start.
    std::vector<CVantorixBaseObject*> objects;
    for (const auto& object : page->Objects()) objects.push_back(object.get());
    for (CVantorixBaseObject* object : objects) {
        if (document.CurrentPage() != page) return;
        CObjectView& view = ObjectViewOf(*object);
        if (view.OwnsWindow()) view.ShowWindow(*this);
    }
}

namespace {

// A 24-bit picture of part of a painted surface.
bool ImageFromSurface(const QImage& surface, const QRect& part, CISImageEx& image) {
    QImage cropped = surface.copy(part).convertToFormat(QImage::Format_RGB888);
    if (cropped.isNull() || image.Allocate(static_cast<std::uint32_t>(cropped.width()),
                                           static_cast<std::uint32_t>(cropped.height()), 24) != 0) {
        return false;
    }
    for (int y = 0; y < cropped.height(); ++y) {
        std::copy_n(cropped.constScanLine(y), image.RowBytes(), image.Pixels() + y * image.RowBytes());
    }
    return true;
}

}  // namespace

bool CPXRuntimeView::CaptureScreen(CISImageEx* image) {
    if (!image) return false;
    QImage shown = grab().toImage();
    return !shown.isNull() && ImageFromSurface(shown, GetPageRect(), *image);
}

void CPXRuntimeView::RenderPageImage(CISImageEx* image, int pageIndex) {
    CVantorixMenuPage* page = document.Page(pageIndex);
    if (!image || !page) return;
    CDIBSMemDC dc(rect(), ColorOf(document.Project()->info.windowBackColor));
    PaintPage(*page, dc, true);
    dc.Painter().end();
    ImageFromSurface(dc.Image(), GetPageRect(), *image);
}

bool CPXRuntimeView::CaptureTransitionPictures(int newPageIndex) {
    CISImageEx shown, rendered;
    CaptureScreen(&shown);
    RenderPageImage(&rendered, newPageIndex);
    transitionScreen = transitionNewPage = QImage();
    if (shown.IsEmpty() || rendered.IsEmpty()) return false;
    // The client area as the window shows it now, the old page in it, and the new page placed
    // the same way in a picture of the same size.
    QColor background = ColorOf(document.Project()->info.windowBackColor);
    for (auto [target, picture] : {std::pair{&transitionScreen, &shown}, {&transitionNewPage, &rendered}}) {
        *target = QImage(size(), QImage::Format_RGB32);
        target->fill(background);
        QPainter(target).drawImage(GetPageRect().topLeft(), ToQImage(*picture));
    }
    return true;
}

void CPXRuntimeView::RunTransition(const CKXTransitionDLLInfo& plugin, const std::string& settings) {
    QImage screen = std::exchange(transitionScreen, QImage()), newPage = std::exchange(transitionNewPage, QImage());
    if (screen.isNull() || newPage.isNull()) return;
    transitionFrame = &screen;
    TransitionOutcome outcome = PlayTransitionPlugin(plugin.path, screen, newPage, GetPageRect(), settings,
                                                     [this](const QRect& shown) { repaint(shown); });
    transitionFrame = nullptr;
    document.Observer().TransitionPlayed(plugin, outcome);
}

void CPXRuntimeView::LetTheScreenSettle() {
    ++settling;
    if (settlePump) {
        settlePump();
    } else {
        QCoreApplication::processEvents();
    }
    --settling;
    if (settling > 0) return;
    // The notifications that came meanwhile go back to the queue, in their order, ahead of what
    // the coming script asks for.
    std::vector<DeferredMessage> waiting;
    waiting.swap(deferredMessages);
    for (const DeferredMessage& m : waiting) PostMessage(m.message, m.wParam, m.lParam);
}

std::intptr_t CPXRuntimeView::OnMessage(int message, std::intptr_t wParam, std::intptr_t lParam) {
    if (message != UM_PAGE_SHOWN && message != UM_AUDIO_EVENT && message != UM_JUMP_PAGE) return 0;
    // Notifications run from the top of the event loop, never nested in the pump of another: a
    // cycle of jumps or a stream of audio events then loops instead of growing the stack.
    if (settling > 0) {
        deferredMessages.push_back({message, wParam, lParam});
        return 0;
    }
    switch (message) {
        case UM_PAGE_SHOWN:
            // The page is on screen before any of its scripts runs.
            LetTheScreenSettle();
            document.RunShowEvent(static_cast<int>(wParam));
            return 0;
        case UM_AUDIO_EVENT:
            LetTheScreenSettle();
            document.RunAudioEvent(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case UM_JUMP_PAGE:
            document.RunPostedPageChange(static_cast<int>(wParam), lParam != 0);
            return 0;
        default:
            return 0;
    }
}
