#include "gfx/gl_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

double projectionAspect(const RenderConfig& config) {
    // A size taller than wide gives the quotient 0, and gluPerspective ignores
    // an aspect of 0, leaving an identity projection that shows nothing.
    if (config.height == 0 || config.width < config.height) {
        return 1.0;
    }
    return static_cast<double>(config.width / config.height);
}

void loadPerspective(double fovy, double aspect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, aspect, projectionNear, projectionFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void setInitialGlState(const RenderConfig& config) {
    glEnable(GL_TEXTURE_2D);
    glViewport(0, 0, config.width, config.height);
    loadPerspective(projectionFovY, projectionAspect(config));
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}
