// Times deformSphere and deformSphereClamped one call at a time over many
// phases, and drawSphere from the built table (the call alone, and with
// glFinish so llvmpipe's rasterisation is included), on a headless context.
// Prints the median and the 99th percentile of each; asserts nothing.
//
//   bench-sphere-deform [CALLS]

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/render_config.h"
#include "gfx/sphere.h"
#include "platform/window.h"
#include "shell/frame_stats.h"
#include "support/headless_demo.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Call>
std::vector<double> timeEach(int calls, Call call) {
    std::vector<double> microseconds;
    microseconds.reserve(static_cast<size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        const auto start = Clock::now();
        call(i);
        microseconds.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return microseconds;
}

// The frame-time summary of --stats, here over microseconds.
void report(const char* what, std::vector<double> microseconds) {
    const FrameTimeSummary summary = summariseFrameTimes(microseconds);
    std::printf("%-40s median %8.1f us   p99 %8.1f us   (%zu calls)\n", what, summary.medianMs,
                summary.percentile99Ms, summary.frames);
}

// Keeps the deformed table observable, so the work cannot be dropped.
float checksum() {
    float sum = 0;
    for (const auto& row : sphereWorkingTable().cells) {
        for (const SphereCell& cell : row) {
            sum += cell.upper[0] + cell.lower[1];
        }
    }
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    // No media: the sphere is drawn with texture 0.
    if (!openHeadlessDemo(RenderConfig{640, 480, 0}, "./")) {
        std::fprintf(stderr, "bench-sphere-deform: no GL context\n");
        return 1;
    }
    glTranslatef(0, 0, -20);
    drawSphere(0, 0, 0, 5.0, 50, 1, 1);  // builds the table
    glFinish();

    // Phases as a scene meets them, one frame (16.7 ms of scene time) apart.
    auto phase = [](int i) { return static_cast<float>(67523 + i * 17) * 0.00066666666f; };
    float sink = 0;
    const auto deformed =
        timeEach(calls, [&](int i) { deformSphere(0.5f, 0.3f, 0.2f, 0.2f, phase(i)); });
    sink += checksum();
    const auto clamped =
        timeEach(calls, [&](int i) { deformSphereClamped(0.5f, 0.3f, 0.2f, 0.7f, phase(i)); });
    sink += checksum();
    const auto drawn = timeEach(calls, [](int) { drawSphere(0, 0, 0, 5.0, 50, 1, 1); });
    glFinish();
    const auto drawnFinished = timeEach(calls / 10, [](int) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawSphere(0, 0, 0, 5.0, 50, 1, 1);
        glFinish();
    });
    destroyDemoWindow();

    std::printf("sphere table: %d x %d cells, %d vectors, %d sines per deformation\n",
                sphereTableRows, sphereTableColumns, sphereTableRows * sphereTableColumns * 2,
                sphereTableRows * sphereTableColumns * 2 * 3);
    report("deformSphere", deformed);
    report("deformSphereClamped", clamped);
    report("drawSphere from the table (call only)", drawn);
    report("drawSphere + glFinish at 640x480", drawnFinished);
    std::printf("(checksum %g)\n", static_cast<double>(sink));
    return 0;
}
