#pragma once

#include "base/render_config.h"

// The GL state every frame starts from: the viewport on the frame's area
// (frameArea), texturing and depth test on, culling off, black clear colour, a
// 45-degree projection and an identity modelview.
void setInitialGlState(const RenderConfig& config);

// A perspective of fovy degrees with the demo's aspect and near and far planes
// as the projection, then an identity modelview, left current.
void loadPerspective(double fovy);

// The projection's aspect ratio at every size: the scenes were framed for a
// 4:3 screen with an aspect of 1, so a 4:3 area shows them as made, and a
// frame of any other shape (--stretch) stretches them.
constexpr double projectionAspect = 1.0;

// The near plane as the single-precision 0.1 widened to double.
constexpr double projectionNear = static_cast<double>(0.1f);
constexpr double projectionFar = 10000.0;
constexpr double projectionFovY = 45.0;
