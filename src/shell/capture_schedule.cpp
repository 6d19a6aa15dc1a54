#include "shell/capture_schedule.h"

CaptureSchedule::CaptureSchedule(const CaptureOptions& options)
    : fps(options.fps), from(options.from), to(options.to), shots(options.shots) {}

SceneTime CaptureSchedule::fixedTime(uint64_t frame) const {
    return static_cast<SceneTime>(frame * 1000u / static_cast<uint64_t>(fps));
}

CaptureSchedule::Frame CaptureSchedule::next() {
    const SceneTime fixed = fixedTime(frameIndex);
    if (nextShot < shots.size() && shots[nextShot] < fixed) {
        lastTime = shots[nextShot++];
        return {lastTime, true};
    }
    ++frameIndex;
    lastTime = fixed;
    if (!shots.empty()) {
        bool isShot = nextShot < shots.size() && shots[nextShot] == fixed;
        if (isShot) {
            ++nextShot;
        }
        return {fixed, isShot};
    }
    return {fixed, fixed >= from && (!to || fixed <= *to)};
}

bool CaptureSchedule::finished() const {
    if (!shots.empty()) {
        return nextShot == shots.size();
    }
    return to && lastTime >= *to;
}
