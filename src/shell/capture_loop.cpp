#include "shell/capture_loop.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/interrupt.h"
#include "platform/program_directory.h"
#include "platform/signal_name.h"
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

// What a capture ended by a signal left behind. A signal that came after the
// last frame was handed over has let the writer finish: the output is whole.
std::string interruptedMessage(const CaptureOptions& options, std::optional<SceneTime> lastWritten,
                               bool completed, bool finished, const std::string& finishing) {
    const std::string signal = signalName(caughtSignal());
    if (completed && finished) {
        return signal + " came after the last frame; " + options.output + " is complete";
    }
    const std::string where =
        lastWritten ? std::to_string(*lastWritten) + " ms" : "the start, before any frame";
    const std::string head = "capture interrupted by " + signal + " at " + where + "; ";
    if (!finished) {
        return head + finishing;
    }
    return head + options.output + " holds the frames up to there";
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
    bool completed = false;  // every frame asked for was handed to the writer
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
        completed = t > demoEndTime || schedule.finished();
        going = !completed && lastKey != escapeKey && caughtSignal() == 0;
    }
    if (progress) {
        showProgress(t, options, true);
    }
    std::string finishing;
    const bool finished = writer->finish(finishing);
    if (caughtSignal() != 0) {
        message = interruptedMessage(options, lastWritten, completed, finished, finishing);
        return interruptedExitCode(caughtSignal());
    }
    if (!finished) {
        // The writer's last word names the failed write too.
        message = finishing;
        if (!lastWritten && !writeFailed) {
            message += " (at " + std::to_string(options.fps) +
                       " fps no frame time lies within --from and --to)";
        }
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
