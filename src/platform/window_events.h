#pragma once

#include <SDL.h>

// Records what one window event means to the demo: a key press becomes
// lastKey, and closing the window or quitting counts as Escape. The native and
// the browser window hand every event they take to it.
void handleWindowEvent(const SDL_Event& event);
