#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "graphics/image/raster_surface.h"

// The off-screen surface every paint goes through: a 32-bit picture exactly the size of the box
// being repainted, drawn in view coordinates and copied to the window once at the end.
class CDIBSMemDC {
public:
    CDIBSMemDC(const QRect& box, QColor background);
    ~CDIBSMemDC();
    CDIBSMemDC(const CDIBSMemDC&) = delete;
    CDIBSMemDC& operator=(const CDIBSMemDC&) = delete;

    // A painter that draws in view coordinates.
    QPainter& Painter() { return painter; }
    const QRect& Box() const { return box; }
    // The raw pixels for picture drawing; its (0, 0) is the box's top-left.
    RasterSurface Surface();
    // Ends drawing and copies the surface onto the target at the box.
    void CopyTo(QPainter& target);
    QImage& Image() { return image; }

private:
    QRect box;
    QImage image;
    QPainter painter;
};
