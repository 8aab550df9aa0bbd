/* The interface of Vantorix Player's page transition plugins.

   A transition plugin is a shared library with the extension ".tns" that exports the three
   functions below with C linkage. The player finds plugins in the project's plugins folder (and
   its sub-folders), then in its own transitions folder; the first plugin to report a name wins.
   When a page that names a transition is left, the player loads the plugin that reported that
   name, calls kxPlg_Transition_DoPageTransition once, and unloads it again. Plugins run inside
   the player's process, on its GUI thread: a plugin that crashes or never returns takes the
   player with it. See docs/plugins.md. */
#ifndef VANTORIX_TRANSITION_PLUGIN_H
#define VANTORIX_TRANSITION_PLUGIN_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vx_surface {
    unsigned int* pixels; /* top-down rows of 0x00RRGGBB pixels */
    int width, height;    /* in pixels */
    int stride;           /* pixels from one row to the next */
    /* Shows the rectangle [left, right) x [top, bottom) of this surface on the screen now
       (only the screen surface has it; NULL for the new page). */
    void (*present)(struct vx_surface* self, int left, int top, int right, int bottom);
    /* Milliseconds on a monotonic clock, and a sleep that keeps the player alive. */
    unsigned long long (*ticks_ms)(struct vx_surface* self);
    void (*sleep_ms)(struct vx_surface* self, int milliseconds);
    void* host; /* the player's own; plugins leave it alone */
} vx_surface;

/* Copies the plugin's display name, a zero-terminated text, into buffer, which holds *size
   bytes. Returns -1 when it does not fit, with *size set to the bytes the name needs. */
int kxPlg_GetPluginName(char* buffer, int* size);
/* Present for compatibility with the design tool's plugins; the player never calls it. */
int kxPlg_Transition_GetSettings(char* buffer, int* size);
/* Plays the effect. screen is the page view's client area and shows the old page; newPage is a
   surface of the same size holding the new page at (pageLeft, pageTop). The page covers
   [pageLeft, pageLeft + pageWidth) x [pageTop, pageTop + pageHeight), clipped to the surfaces.
   The plugin draws its frames into screen and presents each; when it returns, the player paints
   the new page. window is unused on this platform (NULL); settings is the page's settings text
   in a writable buffer. The result is ignored. */
int kxPlg_Transition_DoPageTransition(vx_surface* screen, vx_surface* newPage, int pageWidth, int pageHeight,
                                      int pageLeft, int pageTop, void* window, char* settings);

#ifdef __cplusplus
}
#endif

#endif
