#pragma once

#include <optional>

#include "base/scene_time.h"

// A flight through a long, black-fogged square tube past twenty textured
// cubes on its axis. The camera circles the axis while it swings along the
// tube, cuts to new places on the beat, and in the last two seconds of the
// scene the field of view widens steadily.

// Start-up: the two textures and the display list of the whole tunnel.
void buildTunnel();

// One frame of the tunnel seen from orbit angle a; leaves fog off and the
// modelview as it found it.
void renderTunnel(float angle);

// Timeline scene, 88840 < t < 109587. Leaves fog off with exponential
// density 0.01, the projection at 45 degrees and the cube picture bound.
void tunnelScene(SceneTime t);

// The choices behind the scene, kept apart from the drawing so that they can
// be checked without a GL context.

// Milliseconds added to t before it becomes the camera angle: each change is
// a cut.
SceneTime tunnelTimeOffset(SceneTime t);

// The widened field of view of the closing zoom, in degrees, or none before
// it starts.
std::optional<float> tunnelZoomFieldOfView(SceneTime t);
