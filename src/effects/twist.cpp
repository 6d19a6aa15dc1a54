#include "effects/twist.h"

#include <GL/glu.h>

#include <cmath>
#include <memory>

#include "base/render_config.h"
#include "base/scene_phase.h"
#include "base/time_tables.h"
#include "gfx/fog.h"
#include "gfx/textured_box.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/sprite.h"

GLuint twistCrossList = 0;
GLuint twistPillarList = 0;

namespace {

std::unique_ptr<Sprite> pillarPicture;
std::unique_ptr<Sprite> postPicture;
std::unique_ptr<Sprite> barPicture;
std::unique_ptr<Sprite> roomPicture;

// The machine pictures show from after this time on, over the pillar; the
// first until the table's first row.
constexpr SceneTime machinePicturesAfter = 10654;
constexpr HeldChange<int> machinePictureChanges[] = {
    {11126, 1}, {12011, 2}, {12900, 3}, {13788, 4}, {14214, 5},
    {14678, 6}, {15343, 7}, {16452, 8}, {17341, 9},
};

// The cuts of the room camera. The row from 58817 holds for the single frame
// t = 58818 only.
constexpr HeldChange<float> roomCameraChanges[] = {
    {53607, 2000.0f},  {53867, 1000.0f},  {54087, 2000.0f},  {54525, 3000.0f},  {54737, 4000.0f},
    {55083, 5000.0f},  {55308, 1000.0f},  {55407, 3000.0f},  {55648, 4000.0f},  {55858, 5000.0f},
    {56178, 6000.0f},  {56295, 4000.0f},  {56397, 6000.0f},  {56825, 7000.0f},  {57164, 8000.0f},
    {57428, 4000.0f},  {57576, 9000.0f},  {57749, 10000.0f}, {57912, 7000.0f},  {58101, 11000.0f},
    {58111, 9000.0f},  {58298, 11000.0f}, {58817, 12000.0f}, {58818, 12310.0f}, {58969, 14000.0f},
    {59193, 12000.0f}, {59208, 11000.0f}, {59411, 13000.0f}, {60082, 10000.0f}, {60133, 11000.0f},
    {60193, 6000.0f},  {60297, 15000.0f}, {60410, 16000.0f}, {60639, 17000.0f}, {61197, 18000.0f},
    {61638, 19000.0f}, {62188, 18000.0f}, {62414, 14000.0f}, {62965, 10000.0f}, {63957, 7000.0f},
    {64529, 3000.0f},  {64749, 1000.0f},  {65728, 500.0f},
};

constexpr TimeWindow<PillarView> pillarWindows[] = {
    // The first row's look-at point slides; its centreX is computed from t.
    {17777, 19340, {0.0f, 19.0f}},        {19340, 19597, {0.0f, 10.0f}},
    {19597, 21119, {0.0f, 39.0f}},        {21119, 21375, {0.0f, 25.0f}},
    {21375, 22771, {0.0f, 69.0f}},        {22771, 23148, {0.0f, 10.0f}},
    {23148, openToTheEnd, {0.0f, 19.0f}},
};

// The late pictures lie over the machine picture inside 25334 < t < 30664:
// the first of them wherever none of the windows below holds t.
constexpr SceneTime latePicturesAfter = 25334;
constexpr SceneTime latePicturesBefore = 30664;
constexpr TimeWindow<int> latePictureWindows[] = {
    {25997, 27111, 1}, {27111, 27777, 2}, {27777, 28440, 3},
    {28440, 28889, 4}, {28889, 29549, 5}, {29549, openToTheEnd, 6},
};

constexpr TimeWindow<int> roomCutoutWindows[] = {
    {53743, 54637, 0}, {55519, 55858, 1}, {57304, 58192, 2}, {59084, 60860, 3},
    {61748, 62637, 4}, {62965, 64413, 5}, {65300, 66191, 6},
};

// The strips share one depth buffer; every strip draws the whole object and
// the scissor keeps only its own rows.
template <typename Angle>
void drawStrips(GLuint list, int count, float axisX, float axisY, Angle angleOf) {
    // The strips divide the frame's area, not the bars round it.
    const FrameArea area = frameArea(renderConfig);
    glEnable(GL_SCISSOR_TEST);
    for (int i = 1; i <= count; ++i) {
        glPushMatrix();
        const StripBox box = stripBox(i, count, area.width, area.height);
        glScissor(area.x + box.x, area.y + box.y, box.width, box.height);
        glRotatef(angleOf(i), axisX, axisY, 0.0f);
        glCallList(list);
        glPopMatrix();
    }
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace

StripBox stripBox(int i, int count, int width, int height) {
    // The spacing is fractional when height is not a multiple of count, while
    // the strips stay a whole number of rows high.
    const double spacing = static_cast<double>(height) / count;
    const int bottom = static_cast<int>(std::ceil(spacing * (count - i)));
    return {0, bottom, width, height / count};
}

float crossStripAngle(float phase, int i) {
    return static_cast<float>(360.0 * std::cos(phase + 0.25 * i / crossSliceCount));
}

float pillarStripAngle(float phase, int i) {
    return static_cast<float>(360.0 * std::sin(phase + 0.8 * i / pillarSliceCount));
}

TwistPillarShot twistPillarShotAt(SceneTime t) {
    TwistPillarShot shot{std::nullopt, -1, -1};
    if (const TimeWindow<PillarView>* window = windowHolding(pillarWindows, t)) {
        shot.view = window->value;
        if (window == &pillarWindows[0]) {
            shot.view->centreX = static_cast<float>((19340.0 - t) * 0.002);
        }
    }
    if (t > machinePicturesAfter) {
        shot.machinePicture = heldValueAt(machinePictureChanges, t, 0);
    }
    if (latePicturesAfter < t && t < latePicturesBefore) {
        const TimeWindow<int>* window = windowHolding(latePictureWindows, t);
        shot.latePicture = window != nullptr ? window->value : 0;
    }
    return shot;
}

CutKeys TwistPillarShot::cutKeys() const {
    // Both indices run from -1 to under 11: one number for the pair.
    return {view ? static_cast<double>(view->eyeDepth) : noCutKey,
            static_cast<double>((latePicture + 1) * 11 + machinePicture + 1)};
}

TwistRoomShot twistRoomShotAt(SceneTime t) {
    const TimeWindow<int>* window = windowHolding(roomCutoutWindows, t);
    return {heldValueAt(roomCameraChanges, t, 0.0f), window != nullptr ? window->value : -1};
}

CutKeys TwistRoomShot::cutKeys() const {
    return {static_cast<double>(cameraOffset), static_cast<double>(cutout)};
}

void buildTwist() {
    pillarPicture = std::make_unique<Sprite>("data/twistbox2.jpg");
    postPicture = std::make_unique<Sprite>("data\\twist_1.jpg");
    barPicture = std::make_unique<Sprite>("data\\twist_2.jpg");
    roomPicture = std::make_unique<Sprite>("data\\twist_3.jpg");

    twistCrossList = glGenLists(1);
    glNewList(twistCrossList, GL_COMPILE);
    drawTexturedBox(0.0f, 0.0f, 0.0f, 2.0f, 20.0f, 2.0f, 2.0f, 1.0f, textureOf(postPicture.get()));
    // The upper and the lower crossbar share one texture, so they go in as one
    // run of quads: every strip then replays two draws instead of three, and
    // llvmpipe pays for each draw after a state change (above all a copy of its
    // whole fragment state), 240 times a frame.
    const BoxExtents bars[] = {{0.0f, 2.5f, 0.0f, 20.0f, 1.0f, 1.0f},
                               {0.0f, -2.5f, 0.0f, 20.0f, 1.0f, 1.0f}};
    drawTexturedBoxes(bars, 1.0f, 1.0f, textureOf(barPicture.get()));
    glEndList();

    twistPillarList = glGenLists(1);
    glNewList(twistPillarList, GL_COMPILE);
    drawTexturedBox(0.0f, 0.0f, 0.0f, 2.5f, 20.0f, 2.5f, 1.0f, 20.0f,
                    textureOf(pillarPicture.get()));
    glEndList();
}

void drawCrossSlices(GLuint list, float phase) {
    drawStrips(list, crossSliceCount, 1.0f, 0.0f,
               [phase](int i) { return crossStripAngle(phase, i); });
}

void drawTwistPillar(float angle, float phase, float centreX, float eyeDepth) {
    const double a = angle;
    glPushMatrix();
    gluLookAt(19.0 * std::sin(a / 2), 10.0 * std::sin(a), eyeDepth * std::cos(a / 2), centreX, 0.0,
              5.0 * std::cos(a / 2 + 0.2), 0.0, 1.0, 0.0);
    drawStrips(twistPillarList, pillarSliceCount, 0.0f, 1.0f,
               [phase](int i) { return pillarStripAngle(phase, i); });
    glPopMatrix();
}

void drawTwistRoom(float angle, float phase) {
    enableBlackFog(0.025f, 5.0f);

    const double a = angle;
    glPushMatrix();
    gluLookAt(19.0 * std::sin(a / 2), 19.0 * std::sin(a), 19.0 * std::cos(a / 2),
              5.0 * std::sin(a / 4 + 0.2), 10.0 * std::sin(a + 0.2), 5.0 * std::cos(a / 2 + 0.2),
              0.0, 1.0, 0.0);
    // The camera stays inside the room, which changes with nothing but the
    // camera, so it is drawn immediately rather than from a list.
    drawTexturedBox(0.0f, 0.0f, 0.0f, 20.0f, 20.0f, 20.0f, 1.0f, 1.0f,
                    textureOf(roomPicture.get()));
    drawCrossSlices(twistCrossList, phase);
    glPopMatrix();
    glDisable(GL_FOG);
}

void twistPillarScene(SceneTime t) {
    const TwistPillarShot shot = twistPillarShotAt(t);
    const float x = scenePhase(t);
    if (shot.view) {
        drawTwistPillar(x, x, shot.view->centreX, shot.view->eyeDepth);
    }
    if (shot.machinePicture >= 0) {
        drawCutoutOf(maskinePictures[shot.machinePicture]);
    }
    if (shot.latePicture >= 0) {
        drawCutoutOf(maskineLatePictures[shot.latePicture]);
    }
}

void twistRoomScene(SceneTime t) {
    const TwistRoomShot shot = twistRoomShotAt(t);
    const float x = scenePhase(t);
    // Rounded to a float on purpose: the offsets are thousands of radians, and
    // the camera follows the float sum.
    const float a = static_cast<float>(shot.cameraOffset + x);
    drawTwistRoom(a, x);
    if (shot.cutout >= 0) {
        drawCutoutOf(ostPictures[shot.cutout]);
    }
}
