#include "shell/entry.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/interrupt.h"
#include "platform/message.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "shell/capture_loop.h"
#include "shell/demo_context.h"
#include "shell/frame_stats.h"
#include "shell/main_loop.h"
#include "shell/options.h"
#include "shell/startup.h"

int demoMain(int argc, char** argv) {
    catchEndingSignals();
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
        // A capture draws without a screen or a sound card.
        renderConfig.width = options.capture->width;
        renderConfig.height = options.capture->height;
        renderConfig.fullscreen = 0;
    }
    const std::string failure = openDemoContext(
        renderConfig, options.capture ? DemoDisplay::Headless : DemoDisplay::Screen);
    if (!failure.empty()) {
        showMessage("velmorra", failure, MessageIcon::Error);
        return 1;
    }
    startDemo();

    std::optional<FrameStats> stats;
    if (options.stats) {
        stats.emplace();
    }
    FrameStats* measured = stats ? &*stats : nullptr;
    int exitCode = 0;
    LiveClock clock(options.avOffsetMs);
    if (options.capture) {
        std::string message;
        exitCode = runCaptureLoop(*options.capture, measured, message);
        if (!message.empty()) {
            showMessage("velmorra", message, MessageIcon::Error);
        }
    } else {
        exitCode = runMainLoop(clock, measured);
    }
    if (stats) {
        if (!options.capture) {
            std::fputs(clock.describe().c_str(), stderr);
        }
        std::fprintf(stderr, "velmorra: depth buffer: %d bits\n", depthBufferBits());
        std::fputs(stats->report().c_str(), stderr);
    }

    showCursor();
    destroyDemoWindow();
    shutdownDemo();
    return exitCode;
}
