/* What the player's own transition effects share: the settings text, the frame loop with its
   timing, and small pixel helpers. An effect file describes its effect in a vx_effect (its
   name, its default settings and the function that draws one frame) and ends with
   VX_EFFECT_EXPORTS, which defines the three exports of the plugin interface. */
#ifndef VANTORIX_EFFECT_COMMON_H
#define VANTORIX_EFFECT_COMMON_H

#include <stddef.h>
#include <string.h>

#include <vantorix/transition_plugin.h>

/* The effects build with hidden symbols; only the plugin interface is exported. */
#define VX_EXPORT __attribute__((visibility("default")))

/* How far a transition has come, in fixed point: 0 at its start, VX_PROGRESS_ONE at its end. */
#define VX_PROGRESS_SHIFT 16
#define VX_PROGRESS_ONE (1u << VX_PROGRESS_SHIFT)

/* Where the new page comes from: VX_LEFT means it moves to the left, coming in at the right
   edge (and likewise for the others). VX_OUT and VX_IN are for effects centred on the page:
   the new page grows out of the centre, or the old one shrinks into it. */
typedef enum { VX_LEFT, VX_RIGHT, VX_UP, VX_DOWN, VX_OUT, VX_IN } vx_direction;

typedef struct vx_settings {
    int duration; /* milliseconds, 0..VX_LONGEST_DURATION; 0 shows the new page at once */
    vx_direction direction;
    unsigned int seed; /* the order in which a dissolve turns its pixels */
    int count;         /* the slats of blinds, 1..VX_MOST_SLATS */
} vx_settings;

#define VX_DEFAULT_DURATION 600
#define VX_LONGEST_DURATION 10000
#define VX_DEFAULT_SEED 0u
#define VX_DEFAULT_COUNT 8
#define VX_MOST_SLATS 256

/* A rectangle [left, right) x [top, bottom). */
typedef struct vx_rect {
    int left, top, right, bottom;
} vx_rect;

/* One frame to draw, in the coordinates of the page area: (0, 0) is its top left corner and
   every pointer points at that corner's pixel. */
typedef struct vx_frame {
    unsigned int* screen; /* shows the frame drawn before (the old page before the first) */
    int screenStride;
    const unsigned int* oldPage; /* the old page as it was, when the effect asked for it; else NULL */
    int oldStride;
    const unsigned int* newPage;
    int newStride;
    int width, height; /* the page area, both at least 1 */
    const vx_settings* settings;
    unsigned int progress; /* this frame, 1..VX_PROGRESS_ONE - 1 */
    unsigned int previous; /* the frame on the screen, 0..progress - 1 */
} vx_frame;

/* Draws frame->progress over the frame on the screen and returns the rectangle it changed
   (empty when it changed nothing). */
typedef vx_rect (*vx_draw_frame)(const vx_frame* frame);

typedef struct vx_effect {
    const char* name;
    const char* defaultSettings;
    int centred;      /* direction is in or out (default out) rather than a side (default left) */
    int needsOldPage; /* its frames read the old page, which the screen no longer holds */
    vx_draw_frame draw;
} vx_effect;

/* The plugin interface's rule for text out: copies text and its zero byte into buffer when
   *size bytes hold them and returns 0; otherwise sets *size to the bytes needed and returns -1.
   A NULL size or a negative *size returns -1 and writes nothing. */
int vx_copy_text(const char* text, char* buffer, int* size);

/* Reads a settings text: key=value pairs separated by semicolons or white space, keys in any
   letter case. Unknown keys, malformed pairs and unknown values are passed over; text may be
   NULL. Takes one pass over the text. */
vx_settings vx_parse_settings(const char* text, int centred);

/* Plays effect over the page area: the whole transition, from the call's arguments. */
void vx_play_transition(const vx_effect* effect, vx_surface* screen, vx_surface* newPage, int pageWidth, int pageHeight,
                        int pageLeft, int pageTop, const char* settings);

/* The three exports of an effect described by the vx_effect named effect. */
#define VX_EFFECT_EXPORTS(effect)                                                                            \
    VX_EXPORT int kxPlg_GetPluginName(char* buffer, int* size) {                                             \
        return vx_copy_text((effect).name, buffer, size);                                                    \
    }                                                                                                        \
    VX_EXPORT int kxPlg_Transition_GetSettings(char* buffer, int* size) {                                    \
        return vx_copy_text((effect).defaultSettings, buffer, size);                                         \
    }                                                                                                        \
    VX_EXPORT int kxPlg_Transition_DoPageTransition(vx_surface* screen, vx_surface* newPage, int pageWidth,  \
                                                    int pageHeight, int pageLeft, int pageTop, void* window, \
                                                    char* settings) {                                        \
        (void)window;                                                                                        \
        vx_play_transition(&(effect), screen, newPage, pageWidth, pageHeight, pageLeft, pageTop, settings);  \
        return 0;                                                                                            \
    }

/* Pixel helpers. */

static inline vx_rect vx_make_rect(int left, int top, int right, int bottom) {
    vx_rect rect = {left, top, right, bottom};
    return rect;
}

/* length scaled by a progress: 0 at 0, length at VX_PROGRESS_ONE, rounded down. */
static inline int vx_scale(int length, unsigned int progress) {
    return (int)(((long long)length * progress) >> VX_PROGRESS_SHIFT);
}

/* a and b mixed by weight 0..256 (0 is a, 256 is b), each of the four bytes on its own:
   (a * (256 - weight) + b * weight + 128) / 256, so weight 128 gives (a + b + 1) / 2. Two bytes
   at a time, 16 bits apart, which keeps each one's sum from reaching the next. */
static inline unsigned int vx_blend(unsigned int a, unsigned int b, unsigned int weight) {
    unsigned int keep = 256u - weight;
    unsigned int low = (a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight + 0x00800080u;
    unsigned int high = ((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight + 0x00800080u;
    return ((low >> 8) & 0x00FF00FFu) | (high & 0xFF00FF00u);
}

/* Copies count pixels (none when count is 0 or less). */
static inline void vx_copy_span(unsigned int* to, const unsigned int* from, int count) {
    if (count > 0) memcpy(to, from, sizeof(unsigned int) * (size_t)count);
}

/* Blends count pixels of a and b into to (see vx_blend). */
void vx_blend_span(unsigned int* to, const unsigned int* a, const unsigned int* b, int count, unsigned int weight);

/* Copies the rectangle area of one picture into the same place of another. */
void vx_copy_area(unsigned int* to, int toStride, const unsigned int* from, int fromStride, vx_rect area);

#endif
