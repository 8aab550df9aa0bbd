#include "graphics/drawing/paint_helpers.h"

#include <algorithm>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/image/cis_image_ex.h"

void DrawPicture(const CISImageEx& picture, CDIBSMemDC& dc, int x, int y) {
    picture.Draw(dc.Surface(), x - dc.Box().left(), y - dc.Box().top());
}

QImage ToQImage(const CISImageEx& picture) {
    if (picture.Depth() != 24 && picture.Depth() != 32) return {};
    QImage::Format format = picture.Depth() == 32 ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    QImage image(static_cast<int>(picture.Width()), static_cast<int>(picture.Height()), format);
    for (int y = 0; y < image.height(); ++y) {
        std::copy_n(picture.Pixels() + y * picture.RowBytes(), picture.RowBytes(), image.scanLine(y));
    }
    return image;
}
