#pragma once

#include <cstdint>

// Milliseconds since the main loop started; the one input of every scene.
using SceneTime = uint32_t;

// The demo's last frame is the first one drawn with a time above this.
constexpr SceneTime demoEndTime = 131000;
