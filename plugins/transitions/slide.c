/* Slide: the new page slides in over the old one, which stays where it is. With
   direction=left it enters at the right side; halfway through the left half of the new page
   covers the right half of the old one. */
#include "effect_common.h"

static vx_rect DrawSlide(const vx_frame* frame) {
    int width = frame->width, height = frame->height;
    vx_direction direction = frame->settings->direction;
    int horizontal = direction == VX_LEFT || direction == VX_RIGHT;
    int shift = vx_scale(horizontal ? width : height, frame->progress);
    /* covered is the part of the page the new one covers; from is where in the new page its
       top left corner comes from. */
    vx_rect covered;
    int fromX = 0, fromY = 0;
    switch (direction) {
        case VX_RIGHT:
            covered = vx_make_rect(0, 0, shift, height);
            fromX = width - shift;
            break;
        case VX_UP:
            covered = vx_make_rect(0, height - shift, width, height);
            break;
        case VX_DOWN:
            covered = vx_make_rect(0, 0, width, shift);
            fromY = height - shift;
            break;
        default:
            covered = vx_make_rect(width - shift, 0, width, height);
            break;
    }
    for (int y = covered.top; y < covered.bottom; ++y) {
        vx_copy_span(frame->screen + (ptrdiff_t)y * frame->screenStride + covered.left,
                     frame->newPage + (ptrdiff_t)(y - covered.top + fromY) * frame->newStride + fromX,
                     covered.right - covered.left);
    }
    return covered;
}

static const vx_effect slide = {"Vantorix Slide", "duration=600;direction=left", 0, 0, DrawSlide};

VX_EFFECT_EXPORTS(slide)
