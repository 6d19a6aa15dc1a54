#pragma once

#include "shell/scene_time.h"

// The float nearest 1/1500: most scenes turn time into an angle of one radian
// every 1.5 s with it.
constexpr float scenePhaseFactor = 0.00066666666f;

// t times the factor, rounded once to a float. The camera cuts are timed
// against this exact value, so it must not be kept in double precision.
inline float scenePhase(SceneTime t) {
    return static_cast<float>(static_cast<double>(t) * static_cast<double>(scenePhaseFactor));
}
