#include "view/objects/image_view.h"

#include <cstdlib>

#include "engine/px_runtime_doc.h"
#include "project/vantorix_image_object.h"
#include "script/project_files.h"
#include "view/drawing/broken_link_painter.h"
#include "view/drawing/dibs_mem_dc.h"
#include "view/drawing/paint_helpers.h"

CImageView::CImageView(CVantorixImageObject& image) : CObjectView(image), image(image) {}

const ObjectSounds* CImageView::Sounds() const {
    return &image.sounds;
}

bool CImageView::HitTest(QPoint point) {
    if (!CObjectView::HitTest(point)) return false;
    if (!image.alphaHitTest || !loaded || hit.Depth() != 32) return true;
    auto x = static_cast<std::size_t>(point.x() - image.rect.left),
         y = static_cast<std::size_t>(point.y() - image.rect.top);
    if (x >= hit.Width() || y >= hit.Height()) return true;
    return hit.Pixels()[y * hit.RowBytes() + x * 4 + 3] > 200;
}

void CImageView::LeavePage() {
    display.Free();
    hit.Free();
    loaded = false;
}

bool CImageView::Reload(const CPXRuntimeDoc& document) {
    display.Free();
    hit.Free();
    loaded = false;
    if (image.imageFile.empty()) return false;
    CISImageEx& picture = display;
    if (picture.LoadFile(ImageFileHostPath(document, image.imageFile)) != 0) return false;
    if (picture.Depth() != 32 && picture.ConvertTo32() != 0) return false;
    std::uint8_t* pixels = picture.Pixels();
    std::size_t count = static_cast<std::size_t>(picture.Width()) * picture.Height();
    if (image.useTransparentColor) {
        int d = static_cast<int>(image.tolerance * 0.01 * 255);
        int key[3] = {image.transparentColor & 0xFF, (image.transparentColor >> 8) & 0xFF,
                      (image.transparentColor >> 16) & 0xFF};
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* p = pixels + i * 4;
            if (std::abs(p[0] - key[0]) <= d && std::abs(p[1] - key[1]) <= d && std::abs(p[2] - key[2]) <= d) p[3] = 0;
        }
    }
    hit.CopyFrom(picture);
    if (image.opacity < 100) {
        int k = image.opacity * 255 / 100;
        for (std::size_t i = 0; i < count; ++i)
            pixels[i * 4 + 3] = static_cast<std::uint8_t>((pixels[i * 4 + 3] * k) >> 8);
    }
    auto width = static_cast<std::uint32_t>(std::max(1, image.rect.right - image.rect.left));
    auto height = static_cast<std::uint32_t>(std::max(1, image.rect.bottom - image.rect.top));
    if (picture.Resize(width, height) != 0 || hit.Resize(width, height) != 0) return false;
    loaded = true;
    return true;
}

void CImageView::Paint(CDIBSMemDC& dc, const CPXRuntimeDoc& document) {
    if (!image.visible) return;
    bool drawn = false;
    if (loaded || Reload(document)) {
        drawn = display.Draw(dc.Surface(), image.rect.left - dc.Box().left(), image.rect.top - dc.Box().top()) == 0;
    }
    if (!drawn) {
        CKXBrokenLinkPainter placeholder;
        placeholder.SetTarget(3, ToQRect(image.rect), image.imageFile);
        placeholder.Paint(dc.Painter(), document.codePage);
    }
}
