/* A transition plugin for tests that only has a name (see test_plugin_name.h) and, unless
   TEST_NO_TRANSITION, a transition that does nothing. */
#include "test_plugin_name.h"

int kxPlg_Transition_GetSettings(char* buffer, int* size) {
    (void)buffer;
    (void)size;
    return 0;
}

#ifndef TEST_NO_TRANSITION
int kxPlg_Transition_DoPageTransition(vx_surface* screen, vx_surface* newPage, int pageWidth, int pageHeight,
                                      int pageLeft, int pageTop, void* window, char* settings) {
    (void)screen, (void)newPage, (void)pageWidth, (void)pageHeight, (void)pageLeft, (void)pageTop, (void)window,
        (void)settings;
    return 0;
}
#endif
