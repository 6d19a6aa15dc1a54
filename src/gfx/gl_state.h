#pragma once

#include "base/render_config.h"

// The GL state every frame starts from: texturing and depth test on, culling
// off, black clear colour, a 45-degree projection and an identity modelview.
void setInitialGlState(const RenderConfig& config);

// The projection's aspect ratio: the integer quotient width / height, which is
// 1 for every offered screen size, and at least 1 (a size taller than wide
// gets 1). Pictures are framed for it and stretched.
double projectionAspect(const RenderConfig& config);

// A perspective of fovy degrees with the demo's near and far planes as the
// projection, then an identity modelview, left current.
void loadPerspective(double fovy, double aspect);

// The near plane as the single-precision 0.1 widened to double.
constexpr double projectionNear = static_cast<double>(0.1f);
constexpr double projectionFar = 10000.0;
constexpr double projectionFovY = 45.0;
