#include "view/page_background.h"

#include <QPainter>

#include "project/vantorix_menu_page.h"
#include "script/project_files.h"
#include "view/drawing/dibs_mem_dc.h"
#include "view/drawing/paint_helpers.h"
#include "view/image/cis_image_ex.h"

namespace {

// A page's loaded background picture.
struct PageRuntime : CKXRuntimeState {
    CISImageEx picture;
    bool loaded = false;
};

PageRuntime& PageRuntimeOf(CVantorixMenuPage& page) {
    // Only the background fills a page's runtime slot.
    if (!page.runtime) page.runtime = std::make_unique<PageRuntime>();
    return static_cast<PageRuntime&>(*page.runtime);
}

}  // namespace

void DrawPageBackground(CVantorixMenuPage& page, CDIBSMemDC& dc, const QRect& pageRect,
                        const CKXScriptDocument& document) {
    PageRuntime& runtime = PageRuntimeOf(page);
    if (page.backgroundType == 2 && !runtime.loaded && !page.backgroundPicture.empty()) {
        CISImageEx& picture = runtime.picture;
        if (picture.LoadFile(BesideExeHostPath(document, page.backgroundPicture)) == 0 &&
            (picture.Depth() == 32 || picture.ConvertTo24() == 0) &&
            (page.pictureMode != 0 || picture.Resize(static_cast<std::uint32_t>(pageRect.width()),
                                                     static_cast<std::uint32_t>(pageRect.height())) == 0)) {
            runtime.loaded = true;
        }
    }
    QPainter& painter = dc.Painter();
    if (page.backgroundType != 1) painter.fillRect(pageRect, ColorOf(page.backgroundColor));
    if (page.backgroundType == 1) {
        QColor top = ColorOf(page.backgroundColor), bottom = ColorOf(page.gradientBottomColor);
        int height = pageRect.height();
        auto mulDiv = [](long a, long b, long c) { return static_cast<int>(a * b / c); };
        for (int i = 0; i < 256; ++i) {
            int y0 = pageRect.top() + mulDiv(i, height, 256), y1 = pageRect.top() + mulDiv(i + 1, height, 256);
            QColor band(top.red() + mulDiv(i, bottom.red() - top.red(), 255),
                        top.green() + mulDiv(i, bottom.green() - top.green(), 255),
                        top.blue() + mulDiv(i, bottom.blue() - top.blue(), 255));
            painter.fillRect(QRect(pageRect.left(), y0, pageRect.width(), y1 - y0), band);
        }
    }
    if (page.backgroundType != 2 || !runtime.loaded) return;
    const CISImageEx& picture = runtime.picture;
    int pw = static_cast<int>(picture.Width()), ph = static_cast<int>(picture.Height());
    if (page.pictureMode == 1) {
        int columns = pw < pageRect.width() ? pageRect.width() / pw + 1 : 1;
        int rows = ph < pageRect.height() ? pageRect.height() / ph + 1 : 1;
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                QRect tile(pageRect.left() + column * pw, pageRect.top() + row * ph, pw, ph);
                if (tile.intersects(dc.Box())) DrawPicture(picture, dc, tile.left(), tile.top());
            }
        }
    } else if (page.pictureMode == 0 || page.pictureMode == 2) {
        // Clipped to the page: the surface outside the page keeps the window colour.
        painter.save();
        DrawPicture(picture, dc, pageRect.left(), pageRect.top());
        painter.restore();
    }
}
