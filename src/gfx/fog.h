#pragma once

#include <GL/gl.h>

// The colour every fogged effect fades into: black with alpha 0. One array for
// all of them, never written.
inline constexpr GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// Exponential fog into black at the given density, then enabled. Start and
// end are set too, although the exponential mode does not read them, so that
// the fog state is the same whichever effect set it last. The caller disables
// GL_FOG when it is done.
void enableBlackFog(float density, float end);
