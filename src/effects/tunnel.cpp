#include "effects/tunnel.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <memory>

#include "base/scene_phase.h"
#include "base/time_tables.h"
#include "gfx/fog.h"
#include "gfx/projection.h"
#include "gfx/textured_box.h"
#include "presentation/sprite.h"

namespace {

std::unique_ptr<Sprite> tubeTexture;
std::unique_ptr<Sprite> cubeTexture;
GLuint tunnelList = 0;

// The camera cuts: 0 until the first threshold.
constexpr HeldChange<SceneTime> offsetChanges[] = {
    {92750, 500},   {93722, 1500},  {94558, 500},   {97273, 2000},  {98145, 3500},
    {99919, 1500},  {100862, 3000}, {101677, 4500}, {102039, 3000}, {103007, 5000},
    {104377, 3500}, {105228, 2500}, {107035, 6500}, {108821, 2000}, {109151, 5500},
};

constexpr SceneTime zoomAfter = 107710;
constexpr int tubeWallPieces = 100;
constexpr float defaultFieldOfView = 45.0f;

}  // namespace

TunnelShot tunnelShotAt(SceneTime t) {
    const SceneTime offset = heldValueAt(offsetChanges, t, SceneTime{0});
    TunnelShot shot{offset, scenePhase(t + offset), std::nullopt};
    if (t > zoomAfter) {
        shot.fieldOfView = static_cast<float>(45.0 * (1.0 + (t - zoomAfter) * 0.001));
    }
    return shot;
}

CutKeys TunnelShot::cutKeys() const {
    return {static_cast<double>(timeOffset), 0.0};
}

void buildTunnel() {
    tubeTexture = std::make_unique<Sprite>("data\\tunnel_texture.jpg");
    cubeTexture = std::make_unique<Sprite>("data\\tunnel_kasse_texture.jpg");
    tunnelList = glGenLists(1);
    glNewList(tunnelList, GL_COMPILE);
    // The tube is a box seen from inside: four walls 24 wide, 2000 long, with
    // the picture repeated 50 times along them, each wall in 100 pieces of
    // 20 units so that the fog darkens it with distance from the eye.
    drawTexturedBoxInPieces({0.0f, 0.0f, 0.0f, 12.0f, 12.0f, 1000.0f}, 50.0f, 1.0f,
                            tubeTexture->textureName(), tubeWallPieces);
    for (int i = 0; i < 20; ++i) {
        drawTexturedBox(0.0f, 0.0f, static_cast<float>(100 * i - 1000), 7.0f, 7.0f, 7.0f, 1.0f,
                        1.0f, cubeTexture->textureName());
    }
    glEndList();
}

void renderTunnel(float a) {
    enableBlackFog(0.01f, 500.0f);
    glPushMatrix();
    // The eye circles the axis at radius 10 (the walls are at 12, the cube
    // corners at 9.9) and swings along the tube; it looks a little ahead
    // along its own path.
    gluLookAt(10.0 * std::sin(a), 10.0 * std::cos(a), 800.0 * std::cos(a * 0.5),
              10.0 * std::sin(a + 0.2), 10.0 * std::cos(a + 0.2), 800.0 * std::cos(a * 0.5 + 0.2),
              0.0, 1.0, 0.0);
    glCallList(tunnelList);
    glPopMatrix();
    glDisable(GL_FOG);
}

void tunnelScene(SceneTime t) {
    const TunnelShot shot = tunnelShotAt(t);
    if (shot.fieldOfView) {
        setProjection(*shot.fieldOfView);
    }
    renderTunnel(shot.cameraAngle);
    if (shot.fieldOfView) {
        // The next scene and the grain over this frame find 45 degrees again.
        setProjection(defaultFieldOfView);
    }
}
