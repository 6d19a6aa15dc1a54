#include "shell/entry.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/frame_memory.h"
#include "platform/gl_extensions.h"
#include "platform/message.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "shell/frame_stats.h"
#include "shell/gl_state.h"
#include "shell/main_loop.h"
#include "shell/options.h"
#include "shell/startup.h"

namespace {

int failStart(const char* text) {
    showMessage("velmorra", text, MessageIcon::Error);
    return 1;
}

int failAfterWindow(const char* text) {
    destroyDemoWindow();
    return failStart(text);
}

// A capture draws without a screen or a sound card: SDL's offscreen video
// driver renders through EGL, and the dummy audio driver takes the music.
void prepareHeadlessCapture() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    suppressDialogs();
}

}  // namespace

int demoMain(int argc, char** argv) {
    keepFrameMemoryInHeap();
    locateProgramDirectory();

    std::vector<std::string> arguments(argv + 1, argv + argc);
    ProgramOptions options = parseProgramOptions(arguments);
    if (!options.error.empty()) {
        std::fprintf(stderr, "velmorra: %s\nTry 'velmorra --help'.\n", options.error.c_str());
        return 2;
    }
    if (options.usageText) {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (options.helpBox) {
        showMessage("velmorra", helpBoxText, MessageIcon::Information);
        return 0;
    }

    renderConfig = options.config;
    if (options.capture) {
        prepareHeadlessCapture();
        renderConfig.width = options.capture->width;
        renderConfig.height = options.capture->height;
        renderConfig.fullscreen = 0;
    }

    if (!createDemoWindow()) {
        return failStart("Error opening OpenGL");
    }
    ExtensionSupport extensions = fetchExtensionEntryPoints();
    if (!extensions.multitexture) {
        return failAfterWindow("Your OpenGL does not support multitexturing");
    }
    if (!extensions.compiledVertexArrays) {
        return failAfterWindow("Your OpenGL does not support lockarray");
    }
    setInitialGlState(renderConfig);
    if (!startDemo()) {
        return failAfterWindow("Error initialising");
    }

    int exitCode = 0;
    std::optional<FrameStats> stats;
    if (options.stats) {
        stats.emplace();
    }
    FrameStats* measured = stats ? &*stats : nullptr;
    if (options.capture) {
        std::string error;
        if (!runCaptureLoop(*options.capture, measured, error)) {
            showMessage("velmorra", error, MessageIcon::Error);
            exitCode = 1;
        }
    } else {
        runMainLoop(measured);
    }
    if (stats) {
        std::fputs(stats->report().c_str(), stderr);
    }

    showCursor();
    destroyDemoWindow();
    shutdownDemo();
    return exitCode;
}
