#include "view/drawing/paint_helpers.h"

#include "view/drawing/dibs_mem_dc.h"
#include "view/image/cis_image_ex.h"

void DrawPicture(const CISImageEx& picture, CDIBSMemDC& dc, int x, int y) {
    picture.Draw(dc.Surface(), x - dc.Box().left(), y - dc.Box().top());
}
