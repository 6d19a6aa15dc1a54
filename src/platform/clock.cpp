#include "platform/clock.h"

#include <SDL.h>

int64_t performanceCounter() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t performanceFrequency() {
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}
