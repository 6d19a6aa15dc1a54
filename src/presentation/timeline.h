#pragma once

#include "shell/scene_time.h"

// Draws the whole frame for scene time t: clears, runs every scene whose
// window holds t, and lays the grain over it.
void renderFrame(SceneTime t);
