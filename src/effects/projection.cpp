#include "effects/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "shell/gl_state.h"

void setProjection(float fovy) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Aspect 1 is what the start-up projection uses for every offered screen
    // size, so a reset to 45 degrees gives back exactly the start-up matrix.
    gluPerspective(fovy, 1.0, projectionNear, projectionFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
