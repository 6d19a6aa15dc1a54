// The parts of the window layer that the native and the browser windows share:
// both sit on SDL.
#include <SDL.h>

#include "platform/sdl_window.h"
#include "platform/window.h"

int32_t lastKey = 0;

void handleWindowEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
            lastKey = virtualKeyCode(event.key.keysym.sym);
            break;
        case SDL_QUIT:
            lastKey = escapeKey;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                lastKey = escapeKey;
            }
            break;
        default:
            break;
    }
}

void closeSdlWindow(SDL_Window*& window, SDL_GLContext& context) {
    showCursor();
    if (context != nullptr) {
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    SDL_DestroyWindow(window);
    window = nullptr;
}

int32_t virtualKeyCode(int32_t sdlKey) {
    if (sdlKey == SDLK_ESCAPE) {
        return escapeKey;
    }
    // Letter keys are upper-case in virtual-key codes.
    if (sdlKey >= 'a' && sdlKey <= 'z') {
        return sdlKey - 'a' + 'A';
    }
    return sdlKey;
}

int depthBufferBits() {
    int bits = 0;
    if (SDL_GL_GetCurrentContext() == nullptr ||
        SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &bits) != 0) {
        return 0;
    }
    return bits;
}

void hideCursor() {
    SDL_ShowCursor(SDL_DISABLE);
}

void showCursor() {
    SDL_ShowCursor(SDL_ENABLE);
}
