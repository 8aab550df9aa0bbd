/* Iris: a circle centred on the page shows the new page inside it and grows until it covers the
   page (direction=out), or shows the old page inside it and shrinks to nothing (direction=in).
   A pixel is inside when its centre is nearer the page's centre than the radius; the radius
   goes evenly from 0 to just past the distance from the centre to a corner (or back). */
#include "effect_common.h"

/* The largest r with r * r <= n. */
static long long SquareRoot(long long n) {
    unsigned long long rest = (unsigned long long)n, root = 0, bit = 1ull << 62;
    while (bit > rest) bit >>= 2;
    for (; bit; bit >>= 2) {
        if (rest >= root + bit) {
            rest -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    return (long long)root;
}

/* The pixels [*begin, *end) of the row whose centre is dy from the page's centre that lie
   inside a circle of the radius; distances are in half pixels, so every centre is a whole
   number. Returns 0 when there are none. */
static int InsideSpan(int width, long long dy, long long radius, int* begin, int* end) {
    long long room = radius * radius - dy * dy;
    if (room <= 0) return 0;
    /* The pixel x is inside when |2x + 1 - width| <= reach. */
    long long reach = SquareRoot(room - 1);
    long long first = width - reach - 1 <= 0 ? 0 : (width - reach) / 2;
    long long last = (width + reach - 1) / 2 + 1;
    *begin = (int)first;
    *end = (int)(last < width ? last : width);
    return *begin < *end;
}

static vx_rect DrawIris(const vx_frame* frame) {
    int width = frame->width, height = frame->height;
    long long corner = SquareRoot((long long)width * width + (long long)height * height) + 1;
    long long now = (corner * frame->progress) >> VX_PROGRESS_SHIFT;
    long long before = (corner * frame->previous) >> VX_PROGRESS_SHIFT;
    /* The pixels that turn new lie between the circle of the frame on the screen and this one's:
       inside the larger one and outside the smaller. */
    long long outer = now, inner = before;
    if (frame->settings->direction == VX_IN) {
        outer = corner - before;
        inner = corner - now;
    }
    vx_rect changed = vx_make_rect(width, height, 0, 0);
    for (int y = 0; y < height; ++y) {
        long long dy = 2LL * y + 1 - height;
        int begin, end, innerBegin, innerEnd;
        if (!InsideSpan(width, dy, outer, &begin, &end)) continue;
        unsigned int* screen = frame->screen + (ptrdiff_t)y * frame->screenStride;
        const unsigned int* newPage = frame->newPage + (ptrdiff_t)y * frame->newStride;
        if (InsideSpan(width, dy, inner, &innerBegin, &innerEnd)) {
            vx_copy_span(screen + begin, newPage + begin, innerBegin - begin);
            vx_copy_span(screen + innerEnd, newPage + innerEnd, end - innerEnd);
        } else {
            vx_copy_span(screen + begin, newPage + begin, end - begin);
        }
        if (begin < changed.left) changed.left = begin;
        if (end > changed.right) changed.right = end;
        if (y < changed.top) changed.top = y;
        changed.bottom = y + 1;
    }
    return changed;
}

static const vx_effect iris = {"Vantorix Iris", "duration=600;direction=out", 1, 0, DrawIris};

VX_EFFECT_EXPORTS(iris)
