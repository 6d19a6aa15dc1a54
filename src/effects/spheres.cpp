#include "effects/spheres.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <memory>

#include "base/scene_phase.h"
#include "base/time_tables.h"
#include "gfx/projection.h"
#include "gfx/sphere.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/sprite.h"

namespace {

std::unique_ptr<AlphaSprite> flare;
// Textures of the spheres at (0, 7, 0), (0, -7, 0), (7, 0, 0) and (-7, 0, 0).
std::unique_ptr<Sprite> sphereTextures[4];

// The camera distance inside the five zoom windows; 5 outside them.
constexpr TimeWindow<float> zoomWindows[] = {
    {82635, 82735, 2.5f}, {84397, 84497, 2.5f}, {85276, 85376, 2.5f},
    {86246, 86346, 2.5f}, {87944, 88044, 2.5f},
};

constexpr float smallSphereCentres[4][3] = {{0, 7, 0}, {0, -7, 0}, {7, 0, 0}, {-7, 0, 0}};

}  // namespace

void buildSpheres() {
    flare = std::make_unique<AlphaSprite>("data\\sphere_flare.jpg", "data\\sphere_flare.jpg");
    flare->resetPlacement();
    sphereTextures[0] = std::make_unique<Sprite>("data\\spheres_texture1.jpg");
    sphereTextures[1] = std::make_unique<Sprite>("data\\spheres_texture2.jpg");
    sphereTextures[2] = std::make_unique<Sprite>("data\\spheres_texture3.jpg");
    sphereTextures[3] = std::make_unique<Sprite>("data\\spheres_texture1.jpg");
}

SpheresShot spheresShotAt(SceneTime t) {
    const TimeWindow<float>* window = windowHolding(zoomWindows, t);
    return {scenePhase(t), window != nullptr ? window->value : 5.0f};
}

CutKeys SpheresShot::cutKeys() const {
    return {static_cast<double>(cameraDistance), 0.0};
}

void renderSpheres(float phase, float distance) {
    // The small spheres swing between 0.4 and 1.6 times their radius.
    deformSphere(0.5f, 0.3f, 0.2f, 0.2f, phase);
    glPushMatrix();
    setProjection(distance * 10);
    const double p = phase;
    gluLookAt(10 * std::sin(p), 10 * std::cos(p), distance, 0, 0, 0, 0, 1, 0);

    glPushMatrix();
    glRotatef(static_cast<float>(360 * std::sin(p * 0.5)), 0, 0, 1);
    for (int i = 0; i < 4; ++i) {
        bindTextureOf(sphereTextures[i].get());
        const float* centre = smallSphereCentres[i];
        drawSphere(centre[0], centre[1], centre[2], 5.0, 50, 1, 1);
    }
    // The enclosing sphere is drawn undeformed, which also leaves the table at
    // rest for whatever draws a sphere next.
    bindTextureOf(noisePictures[0]);
    restoreSphere();
    drawSphere(0, 0, 0, 50.0, 50, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    glPopMatrix();

    // The flares ring the view axis in eye space, under the zoomed projection.
    glPushMatrix();
    if (flare != nullptr) {
        for (int i = 0; i < 6; ++i) {
            const double angle = i * 1.0471975511965976 + 3 * phase;
            flare->setPosition(static_cast<float>(std::sin(angle)),
                               static_cast<float>(std::cos(angle)), (20 - distance) * -0.33333334f);
            flare->drawBlended();
        }
    }
    glPopMatrix();

    setProjection(45);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void spheresScene(SceneTime t) {
    const SpheresShot shot = spheresShotAt(t);
    renderSpheres(shot.phase, shot.cameraDistance);
    drawCutoutOf(sphereOverlay);
}
