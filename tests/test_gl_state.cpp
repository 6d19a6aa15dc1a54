#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>

#include "base/render_config.h"
#include "gfx/gl_state.h"
#include "gfx/projection.h"
#include "platform/gl_extensions.h"
#include "support/gl_context.h"

namespace {

using InitialGlState = HeadlessGlTest;

TEST_F(InitialGlState, MatchesWhatEveryFrameStartsFrom) {
    resetGlState();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
}

TEST_F(InitialGlState, ProjectionIs45DegreesWithAspectOneNotFourThirds) {
    resetGlState();
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(45.0 * M_PI / 360.0);
    EXPECT_NEAR(projection[0], f, 1e-5);  // f / aspect with aspect 1
    EXPECT_NEAR(projection[5], f, 1e-5);
    // Near 0.1 (as a float), far 10000.
    const double n = static_cast<double>(0.1f);
    const double far = 10000.0;
    EXPECT_NEAR(projection[10], (far + n) / (n - far), 1e-6);
    EXPECT_NEAR(projection[14], 2 * far * n / (n - far), 1e-6);
}

// The effects' projection reset gives back the start-up matrix at every size,
// a wide one included, so no scene changes how wide the pictures are.
TEST_F(InitialGlState, ProjectionResetMatchesTheStartUpProjectionAtEverySize) {
    const RenderConfig saved = renderConfig;
    for (const RenderConfig size : {RenderConfig{640, 480, 0}, RenderConfig{2560, 1080, 0}}) {
        renderConfig = size;
        setInitialGlState(size);
        GLdouble startUp[16], reset[16];
        glGetDoublev(GL_PROJECTION_MATRIX, startUp);
        setProjection(45.0f);
        glGetDoublev(GL_PROJECTION_MATRIX, reset);
        EXPECT_EQ(std::memcmp(startUp, reset, sizeof reset), 0) << size.width << "x" << size.height;
    }
    renderConfig = saved;
    resetGlState();
}

TEST_F(InitialGlState, ExtensionEntryPointsArePresentOnMesa) {
    ExtensionSupport support = fetchExtensionEntryPoints();
    EXPECT_TRUE(support.multitexture);
    EXPECT_TRUE(support.compiledVertexArrays);
    ASSERT_NE(glext::glActiveTextureARB, nullptr);
    ASSERT_NE(glext::glMultiTexCoord2fARB, nullptr);
    // The pointers really work: switching units shows in the state.
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    EXPECT_EQ(unit, GL_TEXTURE1_ARB);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
}

}  // namespace
