#include "effects/box.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <memory>

#include "base/scene_phase.h"
#include "base/time_tables.h"
#include "gfx/sphere.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/sprite.h"

namespace {

// Frame-dependent: the orbit divisor the frames drawn so far have left.
float orbitDivisorSoFar = boxStartOrbitDivisor;

std::unique_ptr<Sprite> blobTexture;
std::unique_ptr<AlphaSprite> cubeTexture;

// A faster orbit for a moment, then a steady one; the later windows set the
// value it already has, so the view cuts only twice.
constexpr TimeWindow<float> divisorWindows[] = {
    {71080, 71300, 1000.0f}, {72174, 73046, 1300.0f}, {74611, 74841, 1300.0f},
    {74927, 76407, 1300.0f}, {77512, 78175, 1300.0f}, {79286, 79947, 1300.0f},
};

// The cube's faces just outside the blob's reach of 5: z = -e, z = +e,
// x = -e, x = +e, y = -e, y = +e, each with texture corners (0,0), (1,0),
// (1,1), (0,1). They are drawn in this order with depth writes off, so none
// hides another.
constexpr float e = 5.1f;
constexpr float cubeCorners[6][4][3] = {
    {{e, e, -e}, {-e, e, -e}, {-e, -e, -e}, {e, -e, -e}},
    {{-e, e, e}, {e, e, e}, {e, -e, e}, {-e, -e, e}},
    {{-e, e, -e}, {-e, e, e}, {-e, -e, e}, {-e, -e, -e}},
    {{e, e, e}, {e, e, -e}, {e, -e, -e}, {e, -e, e}},
    {{-e, -e, -e}, {-e, -e, e}, {e, -e, e}, {e, -e, -e}},
    {{-e, e, e}, {-e, e, -e}, {e, e, -e}, {e, e, e}},
};
constexpr float cornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

void drawCube() {
    glBegin(GL_QUADS);
    for (const auto& face : cubeCorners) {
        for (int v = 0; v < 4; ++v) {
            glTexCoord2f(cornerTexCoords[v][0], cornerTexCoords[v][1]);
            glVertex3f(face[v][0], face[v][1], face[v][2]);
        }
    }
    glEnd();
}

}  // namespace

void buildBox() {
    blobTexture = std::make_unique<Sprite>("data\\kasse_texture.jpg");
    cubeTexture = std::make_unique<AlphaSprite>("data\\kasse_trans_texture.jpg",
                                                "data\\kasse_trans_texture.jpg");
}

BoxShot boxShotAt(SceneTime t, float orbitDivisorBefore) {
    const TimeWindow<float>* window = windowHolding(divisorWindows, t);
    const float divisor = window != nullptr ? window->value : orbitDivisorBefore;
    return {divisor, scenePhase(t), static_cast<float>(t) / divisor};
}

CutKeys BoxShot::cutKeys() const {
    return {static_cast<double>(orbitDivisor), 0.0};
}

void renderBox(float phase, float angle) {
    glPushMatrix();
    const double theta = angle;
    gluLookAt(20 * std::sin(theta), 20 * std::cos(theta), 20, 2, 0, 0, 0, 1, 0);

    bindTextureOf(blobTexture.get());
    drawSphere(0, 0, 0, 5.0, 50, 2, 2);

    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bindTextureOf(cubeTexture.get());
    drawCube();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);

    // The next frame's blob: clamped to the unit cube, so at radius 5 it
    // never passes the faces at 5.1.
    deformSphereClamped(0.5f, 0.3f, 0.2f, 0.7f, phase);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

void drawBoxShot(const BoxShot& shot) {
    renderBox(shot.phase, shot.cameraAngle);
    drawCutoutOf(blobOverlay);
}

void boxScene(SceneTime t) {
    const BoxShot shot = boxShotAt(t, orbitDivisorSoFar);
    orbitDivisorSoFar = shot.orbitDivisor;
    drawBoxShot(shot);
}
