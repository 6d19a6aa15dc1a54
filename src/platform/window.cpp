#include "platform/window.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/message.h"
#include "platform/sdl_window.h"

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool displaySwitched = false;

// SDL gives the display back only when asked; exit() from any path (the sound
// library's fatal errors among them) must not leave the desktop at 640 x 480.
void restoreDisplayAtExit() {
    destroyDemoWindow();
    SDL_Quit();
}

bool fullColour(const SDL_DisplayMode& mode) {
    return SDL_BITSPERPIXEL(mode.format) >= 24;
}

// SDL would quietly take the closest larger mode for a size the display does
// not offer, leaving the picture in a corner of the screen; only an exact
// match is used.
bool fullscreenModeAvailable(int width, int height, SDL_DisplayMode& mode) {
    SDL_DisplayMode wanted{SDL_PIXELFORMAT_RGB888, width, height, 0, nullptr};
    if (SDL_GetClosestDisplayMode(0, &wanted, &mode) == nullptr) {
        return false;
    }
    return mode.w == width && mode.h == height && fullColour(mode);
}

// The stderr record for a fullscreen size the display cannot take: the sizes
// it does offer, so the viewer can pick one with --size.
void reportOfferedSizes(int width, int height) {
    std::string text = "velmorra: the display offers no fullscreen mode of " +
                       std::to_string(width) + "x" + std::to_string(height) + "; it offers ";
    std::vector<std::string> sizes = offeredFullscreenSizes();
    if (sizes.empty()) {
        text += "none";
    }
    for (size_t i = 0; i < sizes.size(); ++i) {
        text += (i == 0 ? "" : ", ") + sizes[i];
    }
    text += '\n';
    std::fputs(text.c_str(), stderr);
}

// SDL falls back to its offscreen driver when no display can be reached. The
// demo only renders offscreen when that was asked for (capture, tests); a plain
// run without a display is a failure to open the screen.
bool fellBackToOffscreen() {
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const char* driver = SDL_GetCurrentVideoDriver();
    if (asked != nullptr && *asked != '\0') {
        return false;
    }
    return driver != nullptr &&
           (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
}

}  // namespace

std::vector<std::string> offeredFullscreenSizes() {
    std::vector<std::string> sizes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || !fullColour(mode)) {
            continue;
        }
        // The same size comes once per refresh rate and pixel format.
        std::string size = std::to_string(mode.w) + "x" + std::to_string(mode.h);
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
            sizes.push_back(size);
        }
    }
    return sizes;
}

namespace {

enum class Opening { Opened, WindowFailed, ContextFailed };

// The window (switched to mode in fullscreen) and a context with depthBits of
// depth current on it. Leaves nothing open when a step fails.
Opening openWindow(const RenderConfig& config, SDL_DisplayMode& mode, int depthBits) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (config.fullscreen != 0) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    window = SDL_CreateWindow("velmorra", 0, 0, config.width, config.height, flags);
    if (window == nullptr) {
        return Opening::WindowFailed;
    }
    if (config.fullscreen != 0) {
        if (SDL_SetWindowDisplayMode(window, &mode) != 0 ||
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
            destroyDemoWindow();
            return Opening::WindowFailed;
        }
        displaySwitched = true;
    }
    context = SDL_GL_CreateContext(window);
    if (context == nullptr || SDL_GL_MakeCurrent(window, context) != 0) {
        if (context != nullptr) {
            SDL_GL_DeleteContext(context);
            context = nullptr;
        }
        destroyDemoWindow();
        return Opening::ContextFailed;
    }
    return Opening::Opened;
}

}  // namespace

bool createDemoWindow(const RenderConfig& config) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        return false;
    }
    if (fellBackToOffscreen()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    std::atexit(restoreDisplayAtExit);

    SDL_DisplayMode mode{};
    if (config.fullscreen != 0 && !fullscreenModeAvailable(config.width, config.height, mode)) {
        reportOfferedSizes(config.width, config.height);
        return false;
    }

    // 16 bits cannot tell the spike scene's flares from its tube at 8800 units
    // from a near plane at 0.1; a driver that offers no more than 16 (on X11 a
    // visual is chosen with the window) still gets the demo on screen.
    Opening opening = Opening::WindowFailed;
    for (int depthBits : {24, 16}) {
        opening = openWindow(config, mode, depthBits);
        if (opening == Opening::Opened) {
            break;
        }
    }
    if (opening == Opening::ContextFailed) {
        showMessage("velmorra", "Failed to Create OpenGL Rendering Context.", MessageIcon::Error);
    }
    if (opening != Opening::Opened) {
        return false;
    }
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    hideCursor();
    return true;
}

void destroyDemoWindow() {
    if (window == nullptr) {
        return;
    }
    if (displaySwitched) {
        SDL_SetWindowFullscreen(window, 0);
        displaySwitched = false;
    }
    closeSdlWindow(window, context);
}

void presentFrame() {
    if (window == nullptr) {
        return;
    }
    glFinish();
    glFlush();
    SDL_GL_SwapWindow(window);
    SDL_Event event;
    if (SDL_PollEvent(&event) != 0) {
        handleWindowEvent(event);
    }
}

void readBackBuffer(int width, int height, std::vector<uint8_t>& rgb) {
    rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}
