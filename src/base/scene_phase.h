#pragma once

#include "base/scene_time.h"

// The single-precision value nearest 1/1500: one radian every 1.5 s.
inline constexpr float scenePhaseFactor = 0.00066666666f;

// The angle most scenes turn t into: t times the factor, the exact product
// rounded once to a float, so that a camera driven by it sits at the same
// point of its orbit on every machine.
constexpr float scenePhase(SceneTime t) {
    return static_cast<float>(static_cast<double>(t) * static_cast<double>(scenePhaseFactor));
}
