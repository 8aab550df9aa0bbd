#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdint>

#include "project/serializable.h"

class CDIBSMemDC;
class CISImageEx;

// A record's rectangle (right and bottom outside) as Qt's.
inline QRect ToQRect(const VxRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// A stored colour: 0x00BBGGRR.
inline QColor ColorOf(std::int32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

// Draws a picture at (x, y) in view coordinates, only the part inside the surface's box.
void DrawPicture(const CISImageEx& picture, CDIBSMemDC& dc, int x, int y);

// A 24- or 32-bit picture as a Qt image (32 bits with straight alpha); a null image for other
// depths.
QImage ToQImage(const CISImageEx& picture);
