/* Push: the new page comes in at one side and pushes the old one out at the other, both
   moving together. With direction=left the new page enters at the right side; halfway through
   the right half of the old page fills the left half of the page and the left half of the new
   page the right half. */
#include "effect_common.h"

static vx_rect DrawPush(const vx_frame* frame) {
    int width = frame->width, height = frame->height;
    vx_direction direction = frame->settings->direction;
    int horizontal = direction == VX_LEFT || direction == VX_RIGHT;
    int shift = vx_scale(horizontal ? width : height, frame->progress);
    for (int y = 0; y < height; ++y) {
        unsigned int* screen = frame->screen + (ptrdiff_t)y * frame->screenStride;
        const unsigned int* oldRow = frame->oldPage + (ptrdiff_t)y * frame->oldStride;
        const unsigned int* newRow = frame->newPage + (ptrdiff_t)y * frame->newStride;
        switch (direction) {
            case VX_RIGHT:
                vx_copy_span(screen, newRow + width - shift, shift);
                vx_copy_span(screen + shift, oldRow, width - shift);
                break;
            case VX_UP:
                /* The old page's row y + shift, then the new page's first rows. */
                if (y < height - shift) {
                    vx_copy_span(screen, oldRow + (ptrdiff_t)shift * frame->oldStride, width);
                } else {
                    vx_copy_span(screen, newRow - (ptrdiff_t)(height - shift) * frame->newStride, width);
                }
                break;
            case VX_DOWN:
                if (y < shift) {
                    vx_copy_span(screen, newRow + (ptrdiff_t)(height - shift) * frame->newStride, width);
                } else {
                    vx_copy_span(screen, oldRow - (ptrdiff_t)shift * frame->oldStride, width);
                }
                break;
            default:
                vx_copy_span(screen, oldRow + shift, width - shift);
                vx_copy_span(screen + width - shift, newRow, shift);
                break;
        }
    }
    return vx_make_rect(0, 0, width, height);
}

static const vx_effect push = {"Vantorix Push", "duration=600;direction=left", 0, 1, DrawPush};

VX_EFFECT_EXPORTS(push)
