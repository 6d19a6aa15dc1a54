#pragma once

#include <cstdint>

#include "base/scene_time.h"

// The frame clock: a counter value taken when the main loop starts and the
// counter's frequency, read once.
struct DemoClock {
    int64_t startCount = 0;
    double frequency = 1.0;

    // Takes the frequency and the start count from the performance counter.
    void start();

    // Milliseconds since startCount as the counter reads now.
    double elapsedMs() const;

    // The counter difference as a signed 64-bit integer, converted to double,
    // divided by the frequency, then multiplied by 1000.
    static double elapsedMs(int64_t startCount, int64_t nowCount, double frequency);
};

// Truncates toward zero to 64 bits and keeps the low 32 bits.
SceneTime sceneTimeFromMs(double milliseconds);
