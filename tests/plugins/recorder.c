/* A transition plugin for tests: writes what it was given into the file its settings name
   ("record=PATH"), then presents the new page once. */
#include <stdio.h>
#include <string.h>

#include <vantorix/transition_plugin.h>

#include "test_plugin_name.h"

int kxPlg_Transition_GetSettings(char* buffer, int* size) {
    (void)buffer;
    (void)size;
    return 0;
}

static unsigned int At(const vx_surface* surface, int x, int y) {
    if (x < 0 || y < 0 || x >= surface->width || y >= surface->height) return 0xFFFFFFFFu;
    return surface->pixels[y * surface->stride + x] & 0xFFFFFFu;
}

int kxPlg_Transition_DoPageTransition(vx_surface* screen, vx_surface* newPage, int pageWidth, int pageHeight,
                                      int pageLeft, int pageTop, void* window, char* settings) {
    const char* path = strstr(settings, "record=");
    if (!path) return 0;
    FILE* file = fopen(path + 7, "w");
    if (!file) return 0;
    fprintf(file, "settings %s\n", settings);
    fprintf(file, "geometry %d %d %d %d\n", pageWidth, pageHeight, pageLeft, pageTop);
    fprintf(file, "surfaces %d %d %d %d\n", screen->width, screen->height, newPage->width, newPage->height);
    fprintf(file, "callbacks %d %d %d %d\n", screen->present != NULL, newPage->present == NULL,
            screen->ticks_ms != NULL, window == NULL);
    fprintf(file, "screen %06x %06x\n", At(screen, pageLeft, pageTop), At(screen, 0, 0));
    fprintf(file, "newPage %06x %06x\n", At(newPage, pageLeft, pageTop), At(newPage, 0, 0));
    fclose(file);
    for (int y = 0; y < screen->height && y < newPage->height; ++y)
        memcpy(screen->pixels + y * screen->stride, newPage->pixels + y * newPage->stride,
               sizeof(unsigned int) * (size_t)(screen->width < newPage->width ? screen->width : newPage->width));
    screen->present(screen, 0, 0, screen->width, screen->height);
    settings[0] = 'X'; /* what a plugin writes into its settings is not kept */
    return 0;
}
