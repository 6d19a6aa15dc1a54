#include "shell/entry.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/message.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "shell/demo_context.h"
#include "shell/frame_stats.h"
#include "shell/main_loop.h"
#include "shell/options.h"
#include "shell/startup.h"

int demoMain(int argc, char** argv) {
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
    if (!startDemo()) {
        destroyDemoWindow();
        showMessage("velmorra", "Error initialising", MessageIcon::Error);
        return 1;
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
