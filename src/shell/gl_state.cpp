#include "shell/gl_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

double projectionAspect(const RenderConfig& config) {
    if (config.height == 0) {
        return 1.0;
    }
    return static_cast<double>(config.width / config.height);
}

void setInitialGlState(const RenderConfig& config) {
    glEnable(GL_TEXTURE_2D);
    glViewport(0, 0, config.width, config.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(projectionFovY, projectionAspect(config), projectionNear, projectionFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}
