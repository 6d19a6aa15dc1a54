#pragma once

#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// A wobbling textured blob trapped in a translucent cube, seen by an orbiting
// camera, with the blob overlay on top.

// Loads the blob and cube textures. Once, at start-up.
void buildBox();

// One frame at the given phase with the camera at orbit angle `angle`
// (radians). The blob is drawn in the shape left by the previous frame; the
// shape for the next frame is computed at the end.
void renderBox(float phase, float angle);

// The box scene, drawn in its DemoTimeline row's window. Leaves blending off
// with the function SRC_ALPHA, ONE_MINUS_SRC_ALPHA, depth writes on and the
// overlay's texture bound with alpha function GREATER 0.5.
void boxScene(SceneTime t);

// The orbit divisor turns scene time into the camera's angle. It is the one
// value of the scene that depends on the frames drawn rather than on t: a
// divisor window sets it only if a frame falls inside it, and it stays after.
inline constexpr float boxStartOrbitDivisor = 1500.0f;

// What the scene shows at t, given the divisor the frames before it left
// (boxStartOrbitDivisor before the first): the divisor after this frame, the
// phase and the camera's orbit angle.
struct BoxShot {
    float orbitDivisor;
    float phase;
    float cameraAngle;
    CutKeys cutKeys() const;
};
BoxShot boxShotAt(SceneTime t, float orbitDivisorBefore);

// What boxScene draws for a shot: the blob in its cube, then the overlay.
void drawBoxShot(const BoxShot& shot);
