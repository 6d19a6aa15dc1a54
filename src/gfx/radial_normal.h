#pragma once

#include <GL/gl.h>

#include <cmath>

// The normal the effects give a vertex at (x, y, z): the direction from the
// origin, with length 10 rather than 1. Nothing is lit; only the sphere map
// reads normals, and it normalises them. A vertex at the origin gets none.
inline void emitRadialNormal(float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    const float scale = length > 0.0f ? 10.0f / length : 0.0f;
    glNormal3f(x * scale, y * scale, z * scale);
}
