/* Fade: every pixel goes from the old page to the new one by a weighted average of the two, the
   weight being the progress in 256ths (so the frame halfway through is the average of both
   pages, rounded up: (old + new + 1) / 2 in each byte). */
#include "effect_common.h"

static vx_rect DrawFade(const vx_frame* frame) {
    unsigned int weight = frame->progress >> (VX_PROGRESS_SHIFT - 8);
    for (int y = 0; y < frame->height; ++y) {
        vx_blend_span(frame->screen + (ptrdiff_t)y * frame->screenStride,
                      frame->oldPage + (ptrdiff_t)y * frame->oldStride,
                      frame->newPage + (ptrdiff_t)y * frame->newStride, frame->width, weight);
    }
    return vx_make_rect(0, 0, frame->width, frame->height);
}

static const vx_effect fade = {"Vantorix Fade", "duration=600", 0, 1, DrawFade};

VX_EFFECT_EXPORTS(fade)
