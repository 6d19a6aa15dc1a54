#include "support/gl_context.h"

#include <GL/gl.h>

#include <cstdlib>

#include "base/render_config.h"
#include "gfx/gl_state.h"
#include "media/texture.h"
#include "platform/gl_extensions.h"
#include "shell/demo_context.h"

namespace {

bool contextReady = false;

}  // namespace

void HeadlessGlTest::SetUpTestSuite() {
    if (contextReady) {
        return;
    }
    // The binary tests hide extensions through this variable; the drawing
    // tests need them all.
    unsetenv("MESA_EXTENSION_OVERRIDE");
    renderConfig = RenderConfig{width, height, 0};
    contextReady = openDemoContext(renderConfig, DemoDisplay::Headless).empty();
}

void HeadlessGlTest::SetUp() {
    ASSERT_TRUE(contextReady) << "no headless GL context";
    // Every test loads its pictures as if into a fresh context.
    resetPictureBudget();
}

void HeadlessGlTest::resetGlState() {
    if (glext::glActiveTextureARB != nullptr) {
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, 0);
    setInitialGlState(renderConfig);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<uint8_t> HeadlessGlTest::pixelAt(int x, int y) {
    std::vector<uint8_t> rgb(3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}
