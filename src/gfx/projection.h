#pragma once

// Resets the projection to a perspective of fovy degrees with the frame's
// aspect (projectionAspect of renderConfig: 1 at every letter size), near and
// far planes, and loads the identity modelview (the current
// modelview matrix is discarded). Leaves the matrix mode at GL_MODELVIEW.
void setProjection(float fovy);
