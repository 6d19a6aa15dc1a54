// The demo's window in a browser tab: SDL's canvas with a WebGL context under
// emscripten's fixed-function emulation. The page (web/index.html) sizes and
// frames the canvas; this side draws at the config's size and hands each
// frame to the browser before drawing the next.
#include <GL/gl.h>
#include <SDL.h>
#include <emscripten.h>

#include <string>

#include "platform/sdl_window.h"
#include "platform/window.h"

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;

// Gives the browser the frame and comes back when it wants the next one. The
// main loop stays a plain loop: ASYNCIFY unwinds it here and rewinds it in
// the next animation frame.
EM_ASYNC_JS(void, waitForAnimationFrame, (),
            { await new Promise(function(resolve) { requestAnimationFrame(resolve); }); });

// Tells the page (and the browser test, through it) that a frame is in the
// drawing buffer; the buffer is still readable during this call.
void announceFrame() {
    EM_ASM({
        if (Module["onFrameDrawn"]) {
            Module["onFrameDrawn"]();
        }
    });
}

}  // namespace

std::vector<std::string> offeredFullscreenSizes() {
    // The browser chooses the screen mode; the one size there is is the
    // screen's own.
    const int width = EM_ASM_INT({ return Math.round(screen.width * devicePixelRatio); });
    const int height = EM_ASM_INT({ return Math.round(screen.height * devicePixelRatio); });
    return {std::to_string(width) + "x" + std::to_string(height)};
}

bool createDemoWindow(const RenderConfig& config) {
    // Each frame yields to the browser once, in presentFrame, for an animation
    // frame; SDL's own yield in its swap would add a second one.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        return false;
    }
    // A browser offers OpenGL ES 2.0 (WebGL) only; the emulation gives the
    // fixed-function pipeline on top of it.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // No alpha channel: the page would otherwise blend the picture with the
    // page behind wherever the demo leaves alpha below one, which a screen
    // never shows.
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    // WebGL gives 24 depth bits wherever it can; ask for them, and take 16
    // where a browser offers no more.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    window = SDL_CreateWindow("velmorra", 0, 0, config.width, config.height, SDL_WINDOW_OPENGL);
    if (window == nullptr) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        window = SDL_CreateWindow("velmorra", 0, 0, config.width, config.height, SDL_WINDOW_OPENGL);
    }
    if (window == nullptr) {
        return false;
    }
    context = SDL_GL_CreateContext(window);
    if (context == nullptr || SDL_GL_MakeCurrent(window, context) != 0) {
        destroyDemoWindow();
        return false;
    }
    hideCursor();
    return true;
}

void destroyDemoWindow() {
    if (window == nullptr) {
        return;
    }
    closeSdlWindow(window, context);
    EM_ASM({
        if (Module["onDemoEnded"]) {
            Module["onDemoEnded"]();
        }
    });
}

void presentFrame() {
    if (window == nullptr) {
        return;
    }
    glFlush();
    announceFrame();
    SDL_GL_SwapWindow(window);
    waitForAnimationFrame();
    // The browser queues every key of the frame; all are handled, the last
    // one counts.
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        handleWindowEvent(event);
    }
}

void readBackBuffer(int width, int height, std::vector<uint8_t>& rgb) {
    // WebGL reads RGBA only.
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (size_t i = 0, j = 0; i < rgba.size(); i += 4, j += 3) {
        rgb[j] = rgba[i];
        rgb[j + 1] = rgba[i + 1];
        rgb[j + 2] = rgba[i + 2];
    }
}
