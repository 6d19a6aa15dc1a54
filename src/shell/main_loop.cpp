#include "shell/main_loop.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/program_directory.h"
#include "platform/window.h"
#include "sequence/timeline.h"
#include "shell/capture_schedule.h"
#include "shell/demo_clock.h"
#include "shell/frame_writer.h"

void runMainLoop(FrameStats* stats) {
    DemoClock clock;
    clock.start();
    if (stats != nullptr) {
        stats->start();
    }
    SceneTime t = 0;
    hideCursor();
    if (lastKey == escapeKey) {
        return;
    }
    do {
        if (t > demoEndTime) {
            lastKey = escapeKey;
        }
        renderFrame(t);
        presentFrame();
        if (stats != nullptr) {
            stats->framePresented(t);
        }
        t = sceneTimeFromMs(clock.elapsedMs());
    } while (lastKey != escapeKey);
}

namespace {

void showProgress(SceneTime t, const CaptureOptions& options, bool last) {
    SceneTime end = demoEndTime;
    if (!options.shots.empty()) {
        end = std::min(end, options.shots.back());
    } else if (options.to) {
        end = std::min(end, *options.to);
    }
    double share = end == 0 ? 100.0 : std::min(100.0, 100.0 * t / end);
    std::fprintf(stderr, "\rvelmorra: capturing %7.2f s of %.2f s (%3.0f%%)%s", t / 1000.0,
                 end / 1000.0, share, last ? "\n" : "");
    std::fflush(stderr);
}

}  // namespace

bool runCaptureLoop(const CaptureOptions& options, FrameStats* stats, std::string& error) {
    std::unique_ptr<FrameWriter> writer = makeFrameWriter(options, dataPath("data/music.mp3"));
    if (!writer->open(error)) {
        return false;
    }
    const bool progress = isatty(STDERR_FILENO) != 0;
    CaptureSchedule schedule(options);
    std::vector<uint8_t> pixels;
    SceneTime t = 0;
    unsigned frames = 0;
    if (stats != nullptr) {
        stats->start();
    }
    if (lastKey != escapeKey) {
        do {
            CaptureSchedule::Frame frame = schedule.next();
            t = frame.time;
            if (t > demoEndTime) {
                lastKey = escapeKey;
            }
            renderFrame(t);
            if (frame.write) {
                readBackBuffer(options.width, options.height, pixels);
                if (!writer->write(t, pixels, error)) {
                    return false;
                }
            }
            presentFrame();
            if (stats != nullptr) {
                stats->framePresented(t);
            }
            if (progress && ++frames % 30 == 0) {
                showProgress(t, options, false);
            }
        } while (lastKey != escapeKey && !schedule.finished());
    }
    if (progress) {
        showProgress(t, options, true);
    }
    if (schedule.shotsLeft() > 0) {
        std::fprintf(stderr, "velmorra: %zu shot(s) lie after the end of the demo\n",
                     schedule.shotsLeft());
    }
    return writer->finish(error);
}
