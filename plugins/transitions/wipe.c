/* Wipe: an edge crosses the page in the direction and the new page shows behind it; neither
   page moves. With direction=left the edge starts at the right side, so halfway through the
   right half of the page is new. */
#include "effect_common.h"

static vx_rect DrawWipe(const vx_frame* frame) {
    int width = frame->width, height = frame->height;
    /* Only the strip the edge crossed since the frame on the screen changes. */
    int horizontal = frame->settings->direction == VX_LEFT || frame->settings->direction == VX_RIGHT;
    int length = horizontal ? width : height;
    int from = vx_scale(length, frame->previous), to = vx_scale(length, frame->progress);
    vx_rect strip;
    switch (frame->settings->direction) {
        case VX_RIGHT:
            strip = vx_make_rect(from, 0, to, height);
            break;
        case VX_UP:
            strip = vx_make_rect(0, height - to, width, height - from);
            break;
        case VX_DOWN:
            strip = vx_make_rect(0, from, width, to);
            break;
        default:
            strip = vx_make_rect(width - to, 0, width - from, height);
            break;
    }
    vx_copy_area(frame->screen, frame->screenStride, frame->newPage, frame->newStride, strip);
    return strip;
}

static const vx_effect wipe = {"Vantorix Wipe", "duration=600;direction=left", 0, 0, DrawWipe};

VX_EFFECT_EXPORTS(wipe)
