#pragma once

#include <optional>

#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// A flight through a long, black-fogged square tube past twenty textured
// cubes on its axis. The camera circles the axis while it swings along the
// tube, cuts to new places on the beat, and in the last two seconds of the
// scene the field of view widens steadily.

// Start-up: the two textures and the display list of the whole tunnel.
void buildTunnel();

// One frame of the tunnel seen from orbit angle a; leaves fog off and the
// modelview as it found it.
void renderTunnel(float angle);

// The tunnel scene, drawn in its DemoTimeline row's window. Leaves fog off with
// exponential density 0.01, the projection at 45 degrees and the cube picture
// bound.
void tunnelScene(SceneTime t);

// What the scene shows at t: milliseconds added to t before it becomes the
// camera angle (each change is a cut), that angle, and the widened field of
// view of the closing zoom in degrees (none before it starts).
struct TunnelShot {
    SceneTime timeOffset;
    float cameraAngle;
    std::optional<float> fieldOfView;
    CutKeys cutKeys() const;
};
TunnelShot tunnelShotAt(SceneTime t);
