#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/options.h"

// Decides, frame by frame, which scene time an offline capture draws and
// whether that frame is written. Frame k falls at floor(k * 1000 / fps); a shot
// between two fixed-step frames is drawn as one extra frame at its own time.
class CaptureSchedule {
public:
    struct Frame {
        SceneTime time;
        bool write;
    };

    explicit CaptureSchedule(const CaptureOptions& options);

    Frame next();

    // True once nothing more would be written: past --to, or every shot taken.
    bool finished() const;

    size_t shotsLeft() const { return shots.size() - nextShot; }

private:
    SceneTime fixedTime(uint64_t frame) const;

    uint64_t frameIndex = 0;
    size_t nextShot = 0;
    int fps;
    SceneTime from;
    std::optional<SceneTime> to;
    std::vector<SceneTime> shots;
    SceneTime lastTime = 0;
};
