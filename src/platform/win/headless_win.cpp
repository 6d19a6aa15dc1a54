#include <SDL.h>

#include "platform/headless.h"

void useHeadlessDrivers() {
    // SDL's offscreen driver needs EGL, which Windows does not have: the
    // frames are drawn in an ordinary window of the capture's size and read
    // back from there. Only the sound stays off.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
}
