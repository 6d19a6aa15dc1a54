#include "effects/projection.h"

#include "shell/gl_state.h"

void setProjection(float fovy) {
    // Aspect 1 is what the start-up projection uses for every offered screen
    // size, so a reset to 45 degrees gives back exactly the start-up matrix.
    loadPerspective(fovy, 1.0);
}
