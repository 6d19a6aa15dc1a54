#pragma once

// Resets the projection to a perspective of fovy degrees with the frame's
// aspect 1, near and far planes, and loads the identity modelview (the current
// modelview matrix is discarded). Leaves the matrix mode at GL_MODELVIEW.
void setProjection(float fovy);
