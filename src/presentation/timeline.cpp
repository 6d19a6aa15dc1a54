#include "presentation/timeline.h"

#include <GL/gl.h>

void renderFrame(SceneTime) {
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
