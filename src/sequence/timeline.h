#pragma once

#include <array>

#include "base/scene_time.h"
#include "effects/bitmap_environment.h"
#include "effects/box.h"
#include "presentation/cut_keys.h"

// One scene of the running order: called with the absolute scene time t for
// every frame with lower < t < upper (both bounds exclusive, unsigned).
using SceneFunction = void (*)(SceneTime t);

// The only values of the demo that depend on how many frames were drawn
// rather than on t alone, as the frames drawn so far leave them. The scenes
// keep their own; whoever replays the scenes' shots carries one of these.
struct FrameDependentState {
    float boxOrbitDivisor = boxStartOrbitDivisor;
    float sheetSpeed = bitmapStartSpeed;
};

// What a row's scene shows at t, as far as cuts go: its shot's cut keys.
// Advances frames as a frame drawn at t would.
using ShotKeysFunction = CutKeys (*)(SceneTime t, FrameDependentState& frames);

struct TimelineRow {
    SceneTime lower;
    SceneTime upper;
    SceneFunction scene;
    const char* name;
    ShotKeysFunction shotKeys;
};

// The whole running order, tested and drawn in this order. Only the credits
// and the first twist window overlap (10125 < t < 10651).
extern const std::array<TimelineRow, 10> DemoTimeline;

constexpr bool rowRuns(const TimelineRow& row, SceneTime t) {
    return row.lower < t && t < row.upper;
}

// Which of the two grain pictures lies over the frame at t: 0 on even
// milliseconds, 1 on odd ones.
constexpr int noisePictureIndex(SceneTime t) {
    return static_cast<int>(t % 2);
}

// Draws the whole frame for scene time t: clears, runs every scene whose
// window holds t, and lays the grain over it. Allocates nothing.
void renderFrame(SceneTime t);
