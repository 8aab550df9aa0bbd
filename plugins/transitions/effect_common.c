#include "effect_common.h"

#include <stdlib.h>

int vx_copy_text(const char* text, char* buffer, int* size) {
    size_t needed = strlen(text) + 1;
    if (!size || *size < 0) return -1;
    if (!buffer || (size_t)*size < needed) {
        *size = (int)needed;
        return -1;
    }
    memcpy(buffer, text, needed);
    return 0;
}

/* The settings text. */

static int IsSeparator(char c) {
    return c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

static char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

/* Whether [begin, end) is word, in any letter case. */
static int Is(const char* begin, const char* end, const char* word) {
    for (; begin < end && *word; ++begin, ++word) {
        if (Lower(*begin) != *word) return 0;
    }
    return begin == end && !*word;
}

/* A whole number in [begin, end), an optional sign and digits only; its size is held at a
   billion, so a long run of digits reads as a large number. */
static int ReadNumber(const char* begin, const char* end, long long* value) {
    int negative = 0;
    if (begin < end && (*begin == '-' || *begin == '+')) negative = *begin++ == '-';
    if (begin == end) return 0;
    long long number = 0;
    for (; begin < end; ++begin) {
        if (*begin < '0' || *begin > '9') return 0;
        number = number * 10 + (*begin - '0');
        if (number > 1000000000) number = 1000000000;
    }
    *value = negative ? -number : number;
    return 1;
}

static int Clamp(long long value, int low, int high) {
    return value < low ? low : value > high ? high : (int)value;
}

static void ReadPair(const char* key, const char* value, const char* end, int centred, vx_settings* settings) {
    long long number;
    const char* keyEnd = value - 1;
    if (Is(key, keyEnd, "duration")) {
        if (ReadNumber(value, end, &number)) settings->duration = Clamp(number, 0, VX_LONGEST_DURATION);
    } else if (Is(key, keyEnd, "count")) {
        if (ReadNumber(value, end, &number)) settings->count = Clamp(number, 1, VX_MOST_SLATS);
    } else if (Is(key, keyEnd, "seed")) {
        /* Any whole number; the order only has to be the same for the same seed. */
        if (ReadNumber(value, end, &number)) settings->seed = (unsigned int)(number & 0xFFFFFFFF);
    } else if (Is(key, keyEnd, "direction")) {
        if (centred) {
            if (Is(value, end, "out")) settings->direction = VX_OUT;
            if (Is(value, end, "in")) settings->direction = VX_IN;
        } else {
            if (Is(value, end, "left")) settings->direction = VX_LEFT;
            if (Is(value, end, "right")) settings->direction = VX_RIGHT;
            if (Is(value, end, "up")) settings->direction = VX_UP;
            if (Is(value, end, "down")) settings->direction = VX_DOWN;
        }
    }
}

vx_settings vx_parse_settings(const char* text, int centred) {
    vx_settings settings;
    settings.duration = VX_DEFAULT_DURATION;
    settings.direction = centred ? VX_OUT : VX_LEFT;
    settings.seed = VX_DEFAULT_SEED;
    settings.count = VX_DEFAULT_COUNT;
    if (!text) return settings;
    const char* c = text;
    while (*c) {
        while (*c && IsSeparator(*c)) ++c;
        const char* key = c;
        const char* value = NULL;
        for (; *c && !IsSeparator(*c); ++c) {
            if (*c == '=' && !value) value = c + 1;
        }
        if (value && value - 1 > key) ReadPair(key, value, c, centred, &settings);
    }
    return settings;
}

/* Pixels. */

void vx_blend_span(unsigned int* to, const unsigned int* a, const unsigned int* b, int count, unsigned int weight) {
    for (int x = 0; x < count; ++x) to[x] = vx_blend(a[x], b[x], weight);
}

void vx_copy_area(unsigned int* to, int toStride, const unsigned int* from, int fromStride, vx_rect area) {
    for (int y = area.top; y < area.bottom; ++y) {
        vx_copy_span(to + (ptrdiff_t)y * toStride + area.left, from + (ptrdiff_t)y * fromStride + area.left,
                     area.right - area.left);
    }
}

/* The frame loop. */

/* Frames are drawn about 60 times a second. */
#define VX_FRAMES_PER_SECOND 60

static int Smaller(long long a, long long b) {
    return (int)(a < b ? a : b);
}

/* The page area clipped to both surfaces; 0 when it is empty or a surface cannot be drawn. */
static int PageArea(const vx_surface* screen, const vx_surface* newPage, int pageWidth, int pageHeight, int pageLeft,
                    int pageTop, vx_rect* area) {
    if (!screen || !newPage || !screen->pixels || !newPage->pixels) return 0;
    if (screen->stride < screen->width || newPage->stride < newPage->width) return 0;
    area->left = pageLeft > 0 ? pageLeft : 0;
    area->top = pageTop > 0 ? pageTop : 0;
    area->right = Smaller(Smaller((long long)pageLeft + pageWidth, screen->width), newPage->width);
    area->bottom = Smaller(Smaller((long long)pageTop + pageHeight, screen->height), newPage->height);
    return area->right > area->left && area->bottom > area->top;
}

/* The milliseconds from the start to sleep before the next frame: to the start of the next
   60th of a second after elapsed, and at least 1 so that the loop never spins. */
static int NextFrameIn(unsigned long long elapsed, int duration) {
    unsigned long long next = elapsed * VX_FRAMES_PER_SECOND / 1000 + 1;
    unsigned long long at = (next * 1000 + VX_FRAMES_PER_SECOND - 1) / VX_FRAMES_PER_SECOND;
    unsigned long long wait = at > elapsed ? at - elapsed : 1;
    if (wait > (unsigned long long)duration - elapsed) wait = (unsigned long long)duration - elapsed;
    return wait < 1 ? 1 : (int)wait;
}

void vx_play_transition(const vx_effect* effect, vx_surface* screen, vx_surface* newPage, int pageWidth, int pageHeight,
                        int pageLeft, int pageTop, const char* text) {
    vx_rect area;
    if (!PageArea(screen, newPage, pageWidth, pageHeight, pageLeft, pageTop, &area)) return;
    int width = area.right - area.left, height = area.bottom - area.top;
    vx_settings settings = vx_parse_settings(text, effect->centred);

    vx_frame frame;
    frame.screen = screen->pixels + (ptrdiff_t)area.top * screen->stride + area.left;
    frame.screenStride = screen->stride;
    frame.newPage = newPage->pixels + (ptrdiff_t)area.top * newPage->stride + area.left;
    frame.newStride = newPage->stride;
    frame.oldPage = NULL;
    frame.oldStride = width;
    frame.width = width;
    frame.height = height;
    frame.settings = &settings;
    frame.progress = 0;
    frame.previous = 0;

    /* Without a clock or a sleep there is no frame but the last; without present, not even it. */
    int animated = screen->present && screen->ticks_ms && screen->sleep_ms && settings.duration > 0;
    unsigned int* oldPage = NULL;
    if (animated && effect->needsOldPage) {
        oldPage = malloc(sizeof(unsigned int) * (size_t)width * (size_t)height);
        if (oldPage) {
            vx_copy_area(oldPage, width, frame.screen, frame.screenStride, vx_make_rect(0, 0, width, height));
        }
        animated = oldPage != NULL;
        frame.oldPage = oldPage;
    }

    if (animated) {
        unsigned long long duration = (unsigned long long)settings.duration;
        /* A clock that stands still, or a sleep that returns at once, ends the effect after
           a few times its frames instead of never. */
        long long turnsLeft = (long long)(duration * VX_FRAMES_PER_SECOND / 1000) * 4 + 16;
        unsigned long long start = screen->ticks_ms(screen);
        for (; turnsLeft > 0; --turnsLeft) {
            /* A clock that went back ends the effect too: its difference wraps to a large one. */
            unsigned long long elapsed = screen->ticks_ms(screen) - start;
            if (elapsed >= duration) break;
            unsigned int progress = (unsigned int)((elapsed << VX_PROGRESS_SHIFT) / duration);
            if (progress > frame.previous) {
                frame.progress = progress;
                vx_rect changed = effect->draw(&frame);
                if (changed.right > changed.left && changed.bottom > changed.top) {
                    screen->present(screen, area.left + changed.left, area.top + changed.top, area.left + changed.right,
                                    area.top + changed.bottom);
                }
                frame.previous = progress;
            }
            elapsed = screen->ticks_ms(screen) - start;
            if (elapsed >= duration) break;
            screen->sleep_ms(screen, NextFrameIn(elapsed, settings.duration));
        }
    }

    /* The last frame is the new page itself, whatever the effect. */
    vx_copy_area(screen->pixels, screen->stride, newPage->pixels, newPage->stride, area);
    if (screen->present) screen->present(screen, area.left, area.top, area.right, area.bottom);
    free(oldPage);
}
