#pragma once

#include <QRect>

class CDIBSMemDC;
class CKXScriptDocument;
class CVantorixMenuPage;

// A page's background in the page rectangle: its colour, its gradient, or its picture (stretched
// to the page, tiled, or at its own size). The picture is loaded on first use and kept.
void DrawPageBackground(CVantorixMenuPage& page, CDIBSMemDC& dc, const QRect& pageRect,
                        const CKXScriptDocument& document);
