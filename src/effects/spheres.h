#pragma once

#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// Four wobbling spheres in a turning cross inside a large grain sphere that
// encloses the camera, a ring of six flares and the sphere overlay on top.

// Loads the flare and the four sphere textures (the first file twice, giving
// the fourth sphere a texture object of its own). Once, at start-up.
void buildSpheres();

// One frame of the effect at phase p with the camera at distance d; leaves the
// projection at 45 degrees, the modelview at identity and texture 0 bound.
void renderSpheres(float phase, float distance);

// The spheres scene, drawn in its DemoTimeline row's window. Leaves the
// projection at 45 degrees, blending off with the function SRC_ALPHA,
// ONE_MINUS_SRC_ALPHA and the overlay's texture bound with alpha function
// GREATER 0.5.
void spheresScene(SceneTime t);

// What the scene shows at t: the phase and the camera distance, 2.5 (zoomed
// in, a 25-degree view) inside the short zoom windows, 5 (a 50-degree view)
// otherwise.
struct SpheresShot {
    float phase;
    float cameraDistance;
    CutKeys cutKeys() const;
};
SpheresShot spheresShotAt(SceneTime t);
