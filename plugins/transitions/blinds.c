/* Blinds: the page is cut into count slats (upright for left and right, lying for up and down)
   and every slat opens onto the new page from one side, as a wipe of its own in the direction.
   Slat i of n covers [i * length / n, (i + 1) * length / n) of the page's width or height; with
   direction=left each one opens from its right side, and halfway through the right half of
   every slat (rounded down) is new. */
#include "effect_common.h"

static vx_rect DrawBlinds(const vx_frame* frame) {
    int width = frame->width, height = frame->height;
    vx_direction direction = frame->settings->direction;
    int upright = direction == VX_LEFT || direction == VX_RIGHT;
    int length = upright ? width : height;
    int slats = frame->settings->count < length ? frame->settings->count : length;
    /* Only the strip of each slat that opened since the frame on the screen changes. */
    for (int i = 0; i < slats; ++i) {
        int begin = (int)((long long)i * length / slats), end = (int)((long long)(i + 1) * length / slats);
        int from = vx_scale(end - begin, frame->previous), to = vx_scale(end - begin, frame->progress);
        vx_rect strip;
        switch (direction) {
            case VX_RIGHT:
                strip = vx_make_rect(begin + from, 0, begin + to, height);
                break;
            case VX_UP:
                strip = vx_make_rect(0, end - to, width, end - from);
                break;
            case VX_DOWN:
                strip = vx_make_rect(0, begin + from, width, begin + to);
                break;
            default:
                strip = vx_make_rect(end - to, 0, end - from, height);
                break;
        }
        vx_copy_area(frame->screen, frame->screenStride, frame->newPage, frame->newStride, strip);
    }
    return vx_make_rect(0, 0, width, height);
}

static const vx_effect blinds = {"Vantorix Blinds", "duration=600;direction=left;count=8", 0, 0, DrawBlinds};

VX_EFFECT_EXPORTS(blinds)
