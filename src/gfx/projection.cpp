#include "gfx/projection.h"

#include "base/render_config.h"
#include "gfx/gl_state.h"

void setProjection(float fovy) {
    // The same aspect as the start-up projection, so a reset to 45 degrees
    // gives back exactly the start-up matrix at every size.
    loadPerspective(fovy, projectionAspect(renderConfig));
}
