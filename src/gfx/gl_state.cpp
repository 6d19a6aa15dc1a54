#include "gfx/gl_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

void loadPerspective(double fovy) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, projectionAspect, projectionNear, projectionFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void setInitialGlState(const RenderConfig& config) {
    glEnable(GL_TEXTURE_2D);
    // Outside the area only glClear reaches, so the bars stay black.
    const FrameArea area = frameArea(config);
    glViewport(area.x, area.y, area.width, area.height);
    loadPerspective(projectionFovY);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}
