#include "graphics/drawing/dibs_mem_dc.h"

CDIBSMemDC::CDIBSMemDC(const QRect& box, QColor background)
    : box(box), image(box.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32) {
    image.fill(background);
    painter.begin(&image);
    painter.translate(-box.topLeft());
}

CDIBSMemDC::~CDIBSMemDC() {
    if (painter.isActive()) painter.end();
}

RasterSurface CDIBSMemDC::Surface() {
    return {image.bits(), image.width(), image.height(), static_cast<int>(image.bytesPerLine())};
}

void CDIBSMemDC::CopyTo(QPainter& target) {
    if (painter.isActive()) painter.end();
    target.drawImage(box.topLeft(), image);
}
