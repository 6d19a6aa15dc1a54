#pragma once

#include <GL/gl.h>

// The colour every fogged effect fades into: black with alpha 0. One array for
// all of them, never written.
inline constexpr GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
