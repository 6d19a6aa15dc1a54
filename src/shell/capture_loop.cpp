#include "shell/capture_loop.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/interrupt.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "sequence/timeline.h"
#include "shell/capture_schedule.h"
#include "shell/frame_writer.h"
#include "shell/main_loop.h"

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

int runCaptureLoop(const CaptureOptions& options, FrameStats* stats, std::string& message) {
    std::unique_ptr<FrameWriter> writer = makeFrameWriter(options, dataPath("data/music.mp3"));
    if (!writer->open(message)) {
        return 1;
    }
    const bool progress = isatty(STDERR_FILENO) != 0;
    CaptureSchedule schedule(options);
    std::vector<uint8_t> pixels;
    SceneTime t = 0;
    std::optional<SceneTime> lastWritten;
    unsigned frames = 0;
    bool writeFailed = false;
    if (stats != nullptr) {
        stats->start();
    }
    // At least one frame is drawn, even for --to=0.
    bool going = lastKey != escapeKey && caughtSignal() == 0;
    while (going) {
        CaptureSchedule::Frame frame = schedule.next();
        t = frame.time;
        renderFrame(t);
        if (frame.write) {
            readBackBuffer(options.width, options.height, pixels);
            if (!writer->write(t, pixels, message)) {
                writeFailed = caughtSignal() == 0;
                break;
            }
            lastWritten = t;
        }
        presentFrame();
        if (stats != nullptr) {
            stats->framePresented(t);
        }
        if (progress && ++frames % 30 == 0) {
            showProgress(t, options, false);
        }
        // The first frame drawn after the end is the last one.
        going =
            t <= demoEndTime && lastKey != escapeKey && caughtSignal() == 0 && !schedule.finished();
    }
    if (progress) {
        showProgress(t, options, true);
    }
    std::string finishing;
    const bool finished = writer->finish(finishing);
    if (caughtSignal() != 0) {
        const std::string where =
            lastWritten ? std::to_string(*lastWritten) + " ms" : "the start, before any frame";
        if (!finished) {
            message = "capture interrupted at " + where + "; " + finishing;
        } else if (lastWritten) {
            message = "capture interrupted at " + where + "; " + options.output +
                      " holds the frames up to there";
        } else {
            message = "capture interrupted at " + where + "; nothing was written";
        }
        return interruptedExitCode(caughtSignal());
    }
    if (!finished) {
        // The writer's last word names the failed write too.
        message = finishing;
        return 1;
    }
    if (writeFailed) {
        return 1;
    }
    if (schedule.shotsLeft() > 0) {
        std::fprintf(stderr, "velmorra: %zu shot(s) lie after the end of the demo\n",
                     schedule.shotsLeft());
    }
    return 0;
}
