#include "view/px_runtime_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>

#include "platform/code_page.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_text_object.h"
#include "script/lua_engine.h"
#include "view/dibs_mem_dc.h"
#include "view/object_cursors.h"
#include "view/object_events.h"
#include "view/object_painters.h"

namespace {

QColor ColorOf(std::int32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

}  // namespace

CPXRuntimeView::CPXRuntimeView(CPXRuntimeDoc& document, QWidget* parent) : CKXWnd(parent), document(document) {
    // Every pixel is painted from the off-screen surface; no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    document.view = this;
}

void CPXRuntimeView::OnInitialUpdate() {
    CVantorixProjectInfo& info = document.project->info;
    document.scriptEngine->SetGlobalString("_PageStart", info.startPageName);
    if (!document.suppressProjectEvents) {
        if (document.debugOnStart && document.previewMode) {
            document.RunEventScript("Debug.ShowWindow(true);\r\nDebug.SetTraceMode(true);\r\n", "Start Debug Mode", "");
        }
        document.RunEventScript(info.GetEventScript("On Startup"), "Project -> On Startup", "");
    }
    if (document.exitRequested) return;
    setFocus();
    document.ShowPage(document.GetStartPageIndex(), true);
}

void CPXRuntimeView::OnKey(int virtualKey, bool ctrl, bool alt, bool shift) {
    CVantorixMenuPage* page = document.currentPage;
    if (!page) return;
    auto flag = [](bool down) { return down ? "true" : "false"; };
    std::string prefix = "local this=\"" + page->pageName + "\";local e_Key=" + std::to_string(virtualKey) +
                         ";local e_Modifiers = {};e_Modifiers.ctrl=" + flag(ctrl) + ";e_Modifiers.alt=" + flag(alt) +
                         ";e_Modifiers.shift=" + flag(shift);
    document.RunPageEvent(*page, "On Key", prefix, true);
}

void CPXRuntimeView::SetObjectCursor(int kind) {
    if (std::optional<QCursor> cursor = CursorForKind(kind)) setCursor(*cursor);
}

CVantorixBaseObject* CPXRuntimeView::ObjectAt(QPoint point) const {
    CVantorixMenuPage* page = document.currentPage;
    if (!page) return nullptr;
    for (auto it = page->pageObjects.rbegin(); it != page->pageObjects.rend(); ++it) {
        auto* object = static_cast<CVantorixBaseObject*>(it->get());
        if (HitTest(*object, point)) return object;
    }
    return nullptr;
}

void CPXRuntimeView::PointerMoved(QPoint point) {
    if (windowDrag) {
        window()->move(window()->pos() + (point - dragStart));
        return;
    }
    CVantorixMenuPage* page = document.currentPage;
    if ((!alwaysActive && !QApplication::activeWindow()) || !page) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    CVantorixBaseObject* over = ObjectAt(point);
    // The page may change under the scripts these calls run; walk a copy of its list.
    ObjectList objects = page->pageObjects;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        auto* object = static_cast<CVantorixBaseObject*>(it->get());
        if (object != over) ObjectLeave(*object, *this, document);
    }
    if (over) {
        ObjectEnter(*over, *this, document);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void CPXRuntimeView::mouseMoveEvent(QMouseEvent* event) { PointerMoved(event->position().toPoint()); }

void CPXRuntimeView::mousePressEvent(QMouseEvent* event) {
    CVantorixMenuPage* page = document.currentPage;
    if (!page) return;
    QPoint point = event->position().toPoint();
    CVantorixBaseObject* hit = ObjectAt(point);
    if (event->button() != Qt::LeftButton) {
        if (hit) pressed.push_back(hit);
        return;
    }
    if (hit) {
        pressed.push_back(hit);
        ObjectPress(*hit, *this, document);
        return;
    }
    pressed.clear();
    // A caption-less window moves by its page when the project lets it.
    int style = document.project->info.windowStyle;
    if ((style == 1 || style == 2 || style == 4) && document.project->info.movable) {
        windowDrag = true;
        dragStart = point;
        setCursor(Qt::SizeAllCursor);
        grabMouse();
    }
}

void CPXRuntimeView::mouseReleaseEvent(QMouseEvent* event) {
    if (!document.currentPage || event->button() != Qt::LeftButton) return;
    if (windowDrag) {
        releaseMouse();
        setCursor(Qt::ArrowCursor);
        windowDrag = false;
        return;
    }
    QPoint point = event->position().toPoint();
    std::vector<CVantorixBaseObject*> wasPressed;
    wasPressed.swap(pressed);
    ObjectList objects = document.currentPage->pageObjects;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        auto* object = static_cast<CVantorixBaseObject*>(it->get());
        if (HitTest(*object, point) && std::find(wasPressed.begin(), wasPressed.end(), object) != wasPressed.end()) {
            ObjectRelease(*object, *this, document);
        }
    }
}

void CPXRuntimeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!document.currentPage) return;
    if (CVantorixBaseObject* hit = ObjectAt(event->position().toPoint())) pressed.push_back(hit);
}

void CPXRuntimeView::contextMenuEvent(QContextMenuEvent* event) {
    // Only the design tool's preview offers a way out on empty page area.
    if (!document.currentPage || !document.previewMode || ObjectAt(event->pos())) return;
    QMenu menu(this);
    menu.addAction("&Exit", this, [this] { PostClose(); });
    menu.exec(event->globalPos());
}

void CPXRuntimeView::RefreshHover() {
    QPoint point = mapFromGlobal(QCursor::pos());
    if (rect().contains(point)) PointerMoved(point);
}

void CPXRuntimeView::RebuildTooltips() {
    // Tooltips are looked up by position when asked for (event()); registering means numbering.
    CVantorixMenuPage* page = document.currentPage;
    if (!page) return;
    int counter = 1;
    for (const RecordRef& record : page->pageObjects) {
        auto* object = static_cast<CVantorixBaseObject*>(record.get());
        if (!object->visible) continue;
        object->tooltipId = -1;
        if (object->tooltipText.empty()) continue;
        int id = counter++;
        if (object->typeCode != kindVideo) object->tooltipId = id;
    }
}

bool CPXRuntimeView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        CVantorixMenuPage* page = document.currentPage;
        if (page) {
            for (auto it = page->pageObjects.rbegin(); it != page->pageObjects.rend(); ++it) {
                auto* object = static_cast<CVantorixBaseObject*>(it->get());
                if (object->visible && object->tooltipId > 0 && ToQRect(object->rect).contains(help->pos())) {
                    QToolTip::showText(help->globalPos(), QString::fromStdString(document.codePage.ToUtf8(object->tooltipText)),
                                       this, ToQRect(object->rect));
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

void CPXRuntimeView::EnableMainWindow() { window()->setEnabled(true); }

void CPXRuntimeView::FocusMainWindow() { window()->setFocus(); }

void CPXRuntimeView::InvalidateView() { update(); }

void CPXRuntimeView::RedrawViewNow() { repaint(); }

void CPXRuntimeView::RedrawRectNow(const VxRect& rect) {
    QRect box = ToQRect(rect);
    repaint(box);
}

void CPXRuntimeView::PostPageShown(int index) { PostMessage(UM_PAGE_SHOWN, index, 0); }

void CPXRuntimeView::PostJumpPage(int index, bool force) { PostMessage(UM_JUMP_PAGE, index, force ? 1 : 0); }

void CPXRuntimeView::SendJumpPage(int index, bool force) { SendMessage(UM_JUMP_PAGE, index, force ? 1 : 0); }

void CPXRuntimeView::PostClose() {
    if (postClose) postClose();
}

void CPXRuntimeView::LeavePage(CVantorixBaseObject& object) { object.runtime.reset(); }

bool CPXRuntimeView::ReloadImage(CVantorixBaseObject& object) {
    auto* image = dynamic_cast<CVantorixImageObject*>(&object);
    return image && ::ReloadImage(*image, document);
}

void CPXRuntimeView::MeasureLabel(CVantorixBaseObject& object) {
    if (auto* label = dynamic_cast<CVantorixTextObject*>(&object)) ResizeLabelToText(*label, document.codePage);
}

QRect CPXRuntimeView::GetPageRect() const {
    return QRect(originX, originY, std::min(pageWidth, width()), std::min(pageHeight, height()));
}

void CPXRuntimeView::LayOutPage() {
    const CVantorixProjectInfo& info = document.project->info;
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
    for (const RecordRef& record : page.pageObjects) {
        auto* object = static_cast<CVantorixBaseObject*>(record.get());
        // Labels re-place their rectangle as they draw, so they are always asked.
        if (!ToQRect(object->rect).intersects(dc.Box()) && object->typeCode != kindLabel) continue;
        if (auto* label = dynamic_cast<CVantorixTextObject*>(object)) {
            DrawLabel(*label, dc, document.codePage);
        } else if (auto* image = dynamic_cast<CVantorixImageObject*>(object)) {
            DrawImageObject(*image, dc, document);
        } else if (auto* button = dynamic_cast<CVantorixButtonObject*>(object)) {
            DrawButton(*button, dc, document);
        }
    }
}

void CPXRuntimeView::OnPaint(const QRect& clipBox) {
    CVantorixMenuPage* page = document.currentPage;
    if (!page || clipBox.isEmpty()) return;
    CDIBSMemDC dc(clipBox, ColorOf(document.project->info.windowBackColor));
    if (firstPaintPending) LayOutPage();
    PaintPage(*page, dc, document.redrawEnabled && !document.switchingPage);
    if (firstPaintPending) {
        firstPaintPending = false;
        PostPageShown(document.currentPageIndex);
    }
    QPainter target(this);
    dc.CopyTo(target);
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
    CDIBSMemDC dc(rect(), ColorOf(document.project->info.windowBackColor));
    PaintPage(*page, dc, true);
    dc.Painter().end();
    ImageFromSurface(dc.Image(), GetPageRect(), *image);
}

void CPXRuntimeView::RunPageShown(int index) {
    // The page is on screen before any of its scripts runs.
    QCoreApplication::processEvents();
    CVantorixMenuPage* page = document.Page(index);
    if (!page) return;
    document.RunPageEvent(*page, "On Show", "local this=\"" + page->pageName + "\";", true);
}

void CPXRuntimeView::RunAudioEvent(int state, int channel) {
    QCoreApplication::processEvents();
    CVantorixMenuPage* page = document.currentPage;
    if (!page) return;
    document.RunPageEvent(*page, "On Audio", AudioEventPrefix(page->pageName, channel, state), true);
}

std::string AudioEventPrefix(const std::string& pageName, int channel, int state) {
    static const char* const states[] = {"Finish", "Pause", "Play", "Stop"};
    const char* word = state >= 0 && state < 4 ? states[state] : "";
    return "local this=\"" + pageName + "\";local e_Channel=" + std::to_string(channel) + ";local e_State=\"" + word +
           "\"";
}

std::intptr_t CPXRuntimeView::OnMessage(int message, std::intptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case UM_PAGE_SHOWN:
            RunPageShown(static_cast<int>(wParam));
            return 0;
        case UM_AUDIO_EVENT:
            RunAudioEvent(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case UM_JUMP_PAGE:
            if (!document.suppressProjectEvents) document.ShowPage(static_cast<int>(wParam), lParam != 0);
            return 0;
        default:
            return 0;
    }
}
