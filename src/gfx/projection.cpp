#include "gfx/projection.h"

#include "gfx/gl_state.h"

void setProjection(float fovy) {
    // The same routine as the start-up projection, so a reset to 45 degrees
    // gives back exactly the start-up matrix at every size.
    loadPerspective(fovy);
}
