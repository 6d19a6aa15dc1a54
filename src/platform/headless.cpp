#include "platform/headless.h"

#include <cstdlib>

void useHeadlessDrivers() {
    // SDL's offscreen driver draws through EGL with no display at all.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}
