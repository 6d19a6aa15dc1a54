#pragma once

#include <SDL.h>

// What the native and the browser window share: both sit on SDL.

// Records what one window event means to the demo: a key press becomes
// lastKey, and closing the window or quitting counts as Escape. Both windows
// hand every event they take to it.
void handleWindowEvent(const SDL_Event& event);

// Shows the cursor again, deletes the GL context and destroys the window;
// both handles are null afterwards.
void closeSdlWindow(SDL_Window*& window, SDL_GLContext& context);
