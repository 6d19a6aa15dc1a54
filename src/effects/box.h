#pragma once

#include "base/scene_time.h"

// A wobbling textured blob trapped in a translucent cube, seen by an orbiting
// camera, with the blob overlay on top.

// Loads the blob and cube textures. Once, at start-up.
void buildBox();

// One frame at phase e with the camera at orbit angle theta (radians). The
// blob is drawn in the shape left by the previous frame; the shape for the
// next frame is computed at the end.
void renderBox(float phase, float angle);

// The timeline's scene for 67522 < t < 81511. Leaves blending off with the
// function SRC_ALPHA, ONE_MINUS_SRC_ALPHA, depth writes on and the overlay's
// texture bound with alpha function GREATER 0.5.
void boxScene(SceneTime t);

// Turns scene time into the camera's orbit angle: boxStartOrbitDivisor at
// start, changed only inside the scene's own windows and never reset by the
// demo.
inline constexpr float boxStartOrbitDivisor = 1500.0f;
float heldBoxOrbitDivisor();
// Puts the divisor back to its start value (for tests that replay the scene).
void restartBoxOrbit();

// The divisor after the frame at t, given the one held before it: a window
// holding t sets its value, otherwise the held one stays.
float nextBoxOrbitDivisor(float held, SceneTime t);

// The orbit angle at t for a divisor.
inline float boxCameraAngle(SceneTime t, float divisor) {
    return static_cast<float>(t) / divisor;
}
