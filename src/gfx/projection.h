#pragma once

// Resets the projection to a perspective of fovy degrees with the demo's
// aspect (projectionAspect, 1 at every size), near and far planes, and loads
// the identity modelview (the current modelview matrix is discarded). Leaves
// the matrix mode at GL_MODELVIEW.
void setProjection(float fovy);
