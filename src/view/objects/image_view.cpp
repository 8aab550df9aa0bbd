#include "view/objects/image_view.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

#include "graphics/drawing/broken_link_painter.h"
#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "graphics/image/shared_pictures.h"
#include "project/vantorix_image_object.h"
#include "view/objects/object_services.h"

CImageView::CImageView(CVantorixImageObject& image) : CObjectView(image), image(image) {}

const ObjectSounds* CImageView::Sounds() const {
    return &image.sounds;
}

bool CImageView::HitTest(QPoint point) {
    if (!CObjectView::HitTest(point)) return false;
    if (!image.alphaHitTest || !prepared) return true;
    const CISImageEx& hit = prepared->HitPicture();
    if (hit.Depth() != 32) return true;
    auto x = static_cast<std::size_t>(point.x() - image.rect.left),
         y = static_cast<std::size_t>(point.y() - image.rect.top);
    if (x >= hit.Width() || y >= hit.Height()) return true;
    return hit.Pixels()[y * hit.RowBytes() + x * 4 + 3] > 200;
}

void CImageView::LeavePage() {
    prepared.reset();
}

namespace {

// Everything the prepared pictures depend on.
using PreparedKey =
    std::tuple<std::string, std::uint32_t, std::uint32_t, bool, std::int32_t, std::int32_t, std::int32_t, bool>;

// Loads, keys, fades and scales as one picture: the file decoded (a JPEG straight to about the
// drawn size), and then only copies at the object's size.
std::shared_ptr<CImageView::Prepared> Prepare(const std::string& path, const CVantorixImageObject& image,
                                              std::uint32_t width, std::uint32_t height, bool keepHit) {
    CISImageEx picture;
    if (picture.LoadFile(path, true, CISImageEx::kUnknown, 0, {width, height}) != 0) return nullptr;
    if (picture.Depth() != 32 && picture.ConvertTo32() != 0) return nullptr;
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
    auto result = std::make_shared<CImageView::Prepared>();
    if (keepHit && result->hit.CopyResized(picture, width, height) != 0) return nullptr;
    if (image.opacity < 100) {
        int k = image.opacity * 255 / 100;
        for (std::size_t i = 0; i < count; ++i)
            pixels[i * 4 + 3] = static_cast<std::uint8_t>((pixels[i * 4 + 3] * k) >> 8);
    }
    if (picture.Resize(width, height) != 0 || result->display.TakeFrom(picture) != 0) return nullptr;
    return result;
}

}  // namespace

bool CImageView::Reload(const CObjectServices& services) {
    prepared.reset();
    if (image.imageFile.empty()) return false;
    static CSharedPictures<PreparedKey, Prepared> shared;
    auto width = static_cast<std::uint32_t>(std::max(1, image.rect.right - image.rect.left));
    auto height = static_cast<std::uint32_t>(std::max(1, image.rect.bottom - image.rect.top));
    bool keepHit = image.alphaHitTest && image.opacity < 100;
    std::string path = services.ImageHostPath(image.imageFile);
    PreparedKey key{path,
                    width,
                    height,
                    image.useTransparentColor,
                    image.useTransparentColor ? image.transparentColor : 0,
                    image.useTransparentColor ? image.tolerance : 0,
                    std::min(image.opacity, 100),
                    keepHit};
    prepared = shared.Get(key, [&] { return Prepare(path, image, width, height, keepHit); });
    return prepared != nullptr;
}

void CImageView::Paint(CDIBSMemDC& dc, const CObjectServices& services) {
    if (!image.visible) return;
    bool drawn = false;
    if (prepared || Reload(services)) {
        drawn = prepared->display.Draw(dc.Surface(), image.rect.left - dc.Box().left(),
                                       image.rect.top - dc.Box().top()) == 0;
    }
    if (!drawn) {
        CKXBrokenLinkPainter placeholder;
        placeholder.SetTarget(3, ToQRect(image.rect), image.imageFile);
        placeholder.Paint(dc.Painter(), services.TextCodePage());
    }
}
