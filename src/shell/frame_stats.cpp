#include "shell/frame_stats.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/clock.h"
#include "sequence/timeline.h"

namespace {

// Enough for the whole demo at well over 900 frames per second; beyond that
// the vector grows as usual.
constexpr size_t reservedFrames = size_t{1} << 17;

void appendLine(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendLine(std::string& text, const char* format, ...) {
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    text += line;
    text += '\n';
}

void appendSceneLine(std::string& text, const SceneFrameTimes& scene) {
    char window[48] = "";
    if (scene.upper != 0) {
        std::snprintf(window, sizeof window, "%" PRIu32 " < t < %" PRIu32, scene.lower,
                      scene.upper);
    }
    const FrameTimeSummary& s = scene.times;
    if (s.frames == 0) {
        appendLine(text, "  %-17s %-19s %6zu", scene.name, window, s.frames);
        return;
    }
    appendLine(text, "  %-17s %-19s %6zu %9.1f %10.2f %8.2f %11.2f", scene.name, window, s.frames,
               s.framesPerSecond, s.medianMs, s.percentile99Ms, s.longestMs);
}

}  // namespace

FrameTimeSummary summariseFrameTimes(std::vector<double>& frameMs) {
    FrameTimeSummary summary;
    const size_t n = frameMs.size();
    if (n == 0) {
        return summary;
    }
    std::sort(frameMs.begin(), frameMs.end());
    summary.frames = n;
    for (double ms : frameMs) {
        summary.totalMs += ms;
    }
    summary.framesPerSecond = summary.totalMs > 0.0 ? 1000.0 * n / summary.totalMs : 0.0;
    summary.medianMs = n % 2 == 1 ? frameMs[n / 2] : (frameMs[n / 2 - 1] + frameMs[n / 2]) / 2.0;
    // Nearest rank ceil(0.99 n), counted in integers so 100 frames give rank 99.
    const size_t rank = (99 * n + 99) / 100;
    summary.percentile99Ms = frameMs[rank - 1];
    summary.longestMs = frameMs.back();
    return summary;
}

FrameStats::FrameStats() {
    recorded.reserve(reservedFrames);
}

void FrameStats::start() {
    countsPerMs = static_cast<double>(performanceFrequency()) / 1000.0;
    lastCount = performanceCounter();
}

void FrameStats::framePresented(SceneTime t) {
    const int64_t now = performanceCounter();
    record(t, static_cast<double>(now - lastCount) / countsPerMs);
    lastCount = now;
}

void FrameStats::record(SceneTime t, double frameMs) {
    recorded.push_back({t, frameMs});
}

FrameTimeSummary FrameStats::overall() const {
    std::vector<double> times;
    times.reserve(recorded.size());
    for (const Frame& frame : recorded) {
        times.push_back(frame.ms);
    }
    return summariseFrameTimes(times);
}

std::vector<SceneFrameTimes> FrameStats::perScene() const {
    std::vector<SceneFrameTimes> scenes;
    std::vector<double> times;
    times.reserve(recorded.size());
    for (const TimelineRow& row : DemoTimeline) {
        times.clear();
        for (const Frame& frame : recorded) {
            if (rowRuns(row, frame.t)) {
                times.push_back(frame.ms);
            }
        }
        scenes.push_back({row.name, row.lower, row.upper, summariseFrameTimes(times)});
    }
    times.clear();
    for (const Frame& frame : recorded) {
        bool inAnyRow = std::any_of(DemoTimeline.begin(), DemoTimeline.end(),
                                    [&](const TimelineRow& row) { return rowRuns(row, frame.t); });
        if (!inAnyRow) {
            times.push_back(frame.ms);
        }
    }
    scenes.push_back({"(no scene)", 0, 0, summariseFrameTimes(times)});
    return scenes;
}

std::string FrameStats::report() const {
    std::string text;
    const FrameTimeSummary all = overall();
    appendLine(text,
               "velmorra: stats: %zu frames drawn in %.3f s, %.1f frames/s; frame time median "
               "%.2f ms, 99th percentile %.2f ms, longest %.2f ms",
               all.frames, all.totalMs / 1000.0, all.framesPerSecond, all.medianMs,
               all.percentile99Ms, all.longestMs);
    appendLine(text, "  %-17s %-19s %6s %9s %10s %8s %11s", "scene", "window (ms)", "frames",
               "frames/s", "median ms", "p99 ms", "longest ms");
    for (const SceneFrameTimes& scene : perScene()) {
        appendSceneLine(text, scene);
    }
    return text;
}
