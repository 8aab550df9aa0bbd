/* Dissolve: the pixels turn from the old page to the new one one by one, in an order that
   looks random but is the same for the same seed and page size. Each pixel has a turn in
   0..65535 from a hash of its place in the page and the seed; it shows the new page from the
   frame whose progress passes its turn. */
#include "effect_common.h"

/* Mixes the bits of h so that neighbouring inputs give unrelated outputs. */
static unsigned int Mix(unsigned int h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

static vx_rect DrawDissolve(const vx_frame* frame) {
    /* Only the pixels whose turn came since the frame on the screen change. */
    unsigned int from = frame->previous, to = frame->progress;
    for (int y = 0; y < frame->height; ++y) {
        unsigned int* screen = frame->screen + (ptrdiff_t)y * frame->screenStride;
        const unsigned int* newPage = frame->newPage + (ptrdiff_t)y * frame->newStride;
        unsigned int row = Mix((unsigned int)y * 0x9E3779B9u ^ frame->settings->seed);
        for (int x = 0; x < frame->width; ++x) {
            unsigned int turn = Mix((unsigned int)x * 0x85EBCA6Bu + row) >> 16;
            if (turn >= from && turn < to) screen[x] = newPage[x];
        }
    }
    return vx_make_rect(0, 0, frame->width, frame->height);
}

static const vx_effect dissolve = {"Vantorix Dissolve", "duration=600;seed=0", 0, 0, DrawDissolve};

VX_EFFECT_EXPORTS(dissolve)
