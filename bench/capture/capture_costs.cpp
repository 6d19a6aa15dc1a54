// What an offline capture spends its time on, each part measured alone:
// drawing the frames (renderFrame and presentFrame, which finishes the frame)
// and reading them back, over every frame of the capture schedule. Can also
// keep a stretch of the frames as raw RGB, so that encoder settings can be
// timed and compared on real frames (bench/capture/encoders.sh does that).
// Prints figures, asserts nothing.
//
//   velmorra_capture_costs [--media=DIR] [--size=WxH] [--fps=N] [--from=MS] [--to=MS]
//                          [--raw=FILE]
//
// --raw writes every frame from --from to --to to FILE as rgb24, bottom row
// first, exactly as the capture hands them to the encoder, and stops there.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/render_config.h"
#include "platform/window.h"
#include "sequence/timeline.h"
#include "shell/capture_schedule.h"
#include "shell/frame_stats.h"
#include "support/headless_demo.h"

namespace {

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    return summariseFrameTimes(values).medianMs;
}

double sum(const std::vector<double>& values) {
    double total = 0.0;
    for (double v : values) {
        total += v;
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    std::string media = VELMORRA_DEFAULT_MEDIA;
    std::string rawPath;
    CaptureOptions options;
    options.width = 640;
    options.height = 480;
    SceneTime rawFrom = 0;
    SceneTime rawTo = demoEndTime;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strncmp(a, "--media=", 8) == 0) {
            media = std::string(a + 8) + "/";
        } else if (std::sscanf(a, "--size=%dx%d", &options.width, &options.height) == 2) {
        } else if (std::sscanf(a, "--fps=%d", &options.fps) == 1) {
        } else if (std::sscanf(a, "--from=%u", &rawFrom) == 1) {
        } else if (std::sscanf(a, "--to=%u", &rawTo) == 1) {
        } else if (std::strncmp(a, "--raw=", 6) == 0) {
            rawPath = a + 6;
        } else {
            std::fprintf(stderr, "capture_costs: unknown argument %s\n", a);
            return 2;
        }
    }
    if (options.width <= 0 || options.height <= 0 || options.fps <= 0) {
        std::fprintf(stderr, "capture_costs: bad size or frame rate\n");
        return 2;
    }
    FILE* raw = nullptr;
    if (!rawPath.empty() && (raw = std::fopen(rawPath.c_str(), "wb")) == nullptr) {
        std::fprintf(stderr, "capture_costs: cannot write %s\n", rawPath.c_str());
        return 1;
    }

    if (!openHeadlessDemo(RenderConfig{options.width, options.height, 0}, media)) {
        std::fprintf(stderr, "capture_costs: no GL context\n");
        return 1;
    }
    buildHeadlessDemo();

    CaptureSchedule schedule(options);
    std::vector<double> renderMs;
    std::vector<double> readMs;
    std::vector<uint8_t> pixels;
    const auto wallStart = std::chrono::steady_clock::now();
    SceneTime t = 0;
    do {
        t = schedule.next().time;
        auto start = std::chrono::steady_clock::now();
        renderFrame(t);
        presentFrame();
        auto drawn = std::chrono::steady_clock::now();
        readBackBuffer(options.width, options.height, pixels);
        auto read = std::chrono::steady_clock::now();
        renderMs.push_back(milliseconds(drawn - start));
        readMs.push_back(milliseconds(read - drawn));
        if (raw != nullptr && rawFrom <= t && t <= rawTo) {
            std::fwrite(pixels.data(), 1, pixels.size(), raw);
        }
    } while (t <= demoEndTime && (raw == nullptr || t <= rawTo));
    const double wallMs = milliseconds(std::chrono::steady_clock::now() - wallStart);
    destroyDemoWindow();
    if (raw != nullptr) {
        std::fclose(raw);
    }

    std::printf("capture of %zu frames at %dx%d, %d fps (%.1f s of demo)\n", renderMs.size(),
                options.width, options.height, options.fps, t / 1000.0);
    std::printf("  draw + finish:  %8.1f s in all, median %6.2f ms a frame\n", sum(renderMs) / 1000,
                median(renderMs));
    std::printf("  read-back:      %8.1f s in all, median %6.2f ms a frame\n", sum(readMs) / 1000,
                median(readMs));
    std::printf("  wall time:      %8.1f s (%.2fx real time, before encoding)\n", wallMs / 1000,
                t / wallMs);
    return 0;
}
