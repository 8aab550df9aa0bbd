#include "view/page_background.h"

#include <QPainter>

#include <memory>
#include <string>
#include <tuple>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "graphics/image/cis_image_ex.h"
#include "graphics/image/shared_pictures.h"
#include "project/vantorix_menu_page.h"
#include "script/project_files.h"

namespace {

// A background as drawn: the file, and for a stretched picture the page size it is scaled to.
struct BackgroundKey {
    std::string path;
    bool stretched;
    int width, height;
    bool operator<(const BackgroundKey& other) const {
        return std::tie(path, stretched, width, height) <
               std::tie(other.path, other.stretched, other.width, other.height);
    }
};

// Pages that show the same file the same way share one decoded copy: six pages on one tiled
// picture decode it once.
std::shared_ptr<const CISImageEx> SharedBackground(const BackgroundKey& key) {
    static CSharedPictures<BackgroundKey, CISImageEx> decoded;
    return decoded.Get(key, [&key]() -> std::shared_ptr<CISImageEx> {
        auto picture = std::make_shared<CISImageEx>();
        auto width = static_cast<std::uint32_t>(key.width), height = static_cast<std::uint32_t>(key.height);
        if (picture->LoadFile(key.path, true, CISImageEx::kUnknown, 0, {width, height}) != 0 ||
            (picture->Depth() != 32 && picture->ConvertTo24() != 0) ||
            (key.stretched && picture->Resize(width, height) != 0)) {
            return nullptr;
        }
        return picture;
    });
}

// A page's background picture, once it has loaded.
struct PageRuntime : CKXRuntimeState {
    std::shared_ptr<const CISImageEx> picture;
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
    if (page.backgroundType == 2 && !runtime.picture && !page.backgroundPicture.empty()) {
        bool stretched = page.pictureMode == 0;
        runtime.picture = SharedBackground({BesideExeHostPath(document, page.backgroundPicture), stretched,
                                            stretched ? pageRect.width() : 0, stretched ? pageRect.height() : 0});
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
    if (page.backgroundType != 2 || !runtime.picture) return;
    const CISImageEx& picture = *runtime.picture;
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
