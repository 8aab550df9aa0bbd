/* Zoom: the new page grows out of the page's centre, scaled to a rectangle that goes evenly
   from nothing to the whole page (direction=out), or the old page shrinks into the centre over
   the new one (direction=in). The scaled page takes the pixel nearest each one's centre. */
#include "effect_common.h"

/* The rectangle of the scaled page at a progress: its size the page's times the progress,
   centred (rounded to the top left). */
static vx_rect ScaledRect(int width, int height, unsigned int progress) {
    int scaledWidth = vx_scale(width, progress), scaledHeight = vx_scale(height, progress);
    int left = (width - scaledWidth) / 2, top = (height - scaledHeight) / 2;
    return vx_make_rect(left, top, left + scaledWidth, top + scaledHeight);
}

/* Draws within box: source scaled into scaled (which box holds), and the background around it. */
static void DrawScaled(const vx_frame* frame, vx_rect box, vx_rect scaled, const unsigned int* source, int sourceStride,
                       const unsigned int* background, int backgroundStride) {
    int width = frame->width, height = frame->height;
    int scaledWidth = scaled.right - scaled.left, scaledHeight = scaled.bottom - scaled.top;
    /* Source columns step by width / scaledWidth in 16.16 fixed point, from the middle of the
       first step; rows take the same rule with a division each. */
    unsigned long long step = scaledWidth > 0 ? ((unsigned long long)width << 16) / (unsigned long long)scaledWidth : 0;
    for (int y = box.top; y < box.bottom; ++y) {
        unsigned int* screen = frame->screen + (ptrdiff_t)y * frame->screenStride;
        const unsigned int* around = background + (ptrdiff_t)y * backgroundStride;
        if (y < scaled.top || y >= scaled.bottom || scaledWidth <= 0) {
            vx_copy_span(screen + box.left, around + box.left, box.right - box.left);
            continue;
        }
        long long row = ((2LL * (y - scaled.top) + 1) * height) / (2LL * scaledHeight);
        const unsigned int* from = source + (ptrdiff_t)row * sourceStride;
        vx_copy_span(screen + box.left, around + box.left, scaled.left - box.left);
        unsigned long long at = step / 2;
        for (int x = scaled.left; x < scaled.right; ++x, at += step) screen[x] = from[at >> 16];
        vx_copy_span(screen + scaled.right, around + scaled.right, box.right - scaled.right);
    }
}

static vx_rect DrawZoom(const vx_frame* frame) {
    int width = frame->width, height = frame->height;
    if (frame->settings->direction == VX_IN) {
        /* The old page shrinks: what changes lies within its rectangle on the screen. */
        vx_rect before = ScaledRect(width, height, VX_PROGRESS_ONE - frame->previous);
        vx_rect now = ScaledRect(width, height, VX_PROGRESS_ONE - frame->progress);
        DrawScaled(frame, before, now, frame->oldPage, frame->oldStride, frame->newPage, frame->newStride);
        return before;
    }
    /* The new page grows over the old, which stays around it. */
    vx_rect now = ScaledRect(width, height, frame->progress);
    if (now.right <= now.left || now.bottom <= now.top) return vx_make_rect(0, 0, 0, 0);
    DrawScaled(frame, now, now, frame->newPage, frame->newStride, frame->newPage, frame->newStride);
    return now;
}

static const vx_effect zoom = {"Vantorix Zoom", "duration=600;direction=out", 1, 1, DrawZoom};

VX_EFFECT_EXPORTS(zoom)
