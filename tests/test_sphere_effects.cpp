#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/scene_phase.h"
#include "effects/box.h"
#include "effects/spheres.h"
#include "gfx/sphere.h"
#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "sequence/effect_builds.h"
#include "support/gl_context.h"
#include "support/jpeg_encode.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

TEST(BoxScene, OrbitDivisorChangesInsideItsWindowsAndIsHeldBetweenThem) {
    const struct {
        SceneTime t;
        float divisor;
    } checkpoints[] = {
        {71080, 1500}, {71081, 1000}, {71300, 1000}, {72174, 1000}, {72175, 1300},
        {74000, 1300}, {75000, 1300}, {79947, 1300}, {81510, 1300},
    };
    // Every millisecond of the scene in order, as frames would come.
    float held = 1500;
    size_t next = 0;
    for (SceneTime t = 67523; next < std::size(checkpoints); ++t) {
        held = boxShotAt(t, held).orbitDivisor;
        if (t == checkpoints[next].t) {
            EXPECT_EQ(held, checkpoints[next].divisor) << "t = " << t;
            ++next;
        }
    }
    // Outside the windows any held value survives.
    for (SceneTime t : {67523u, 71080u, 71300u, 74000u, 74841u, 79947u}) {
        EXPECT_EQ(boxShotAt(t, 777).orbitDivisor, 777) << "t = " << t;
    }
}

TEST(SpheresScene, ZoomsInOnlyStrictlyInsideItsFiveWindows) {
    const SceneTime zoomed[] = {82636, 82734, 84398, 84496, 85277,
                                85375, 86247, 86345, 87945, 88043};
    const SceneTime wide[] = {81680, 82635, 82735, 84397, 84497, 85276,
                              85376, 86246, 86346, 87944, 88044, 88392};
    for (SceneTime t : zoomed) {
        EXPECT_EQ(spheresShotAt(t).cameraDistance, 2.5f) << "t = " << t;
    }
    for (SceneTime t : wide) {
        EXPECT_EQ(spheresShotAt(t).cameraDistance, 5.0f) << "t = " << t;
    }
}

// The effects built from solid-colour pictures. Each overlay's alpha picture
// is black on its left half and white on its right half.
class EffectScenes : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        const std::string directory = makeTemporaryDirectory("velmorra-sphere-effects");
        writeScenePictures(directory, options);
        std::vector<uint8_t> halves(64 * 64 * 3, 0);
        for (size_t p = 0; p < halves.size() / 3; ++p) {
            std::fill_n(&halves[p * 3], 3, p % 64 >= 32 ? 255 : 0);
        }
        for (const std::string name : {"data/sphereoverlay", "data/bloboverlay"}) {
            const Rgb c = sceneColour(name + ".jpg");
            writeFile(directory + "/" + name + "_alfa.jpg", encodeJpeg(64, 64, 3, halves));
            writeFile(directory + "/" + name + ".jpg",
                      solidColourJpeg(64, 64, static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                                      static_cast<uint8_t>(c.b)));
        }
        setProgramDirectory(directory + "/");
        testing::internal::CaptureStderr();
        buildEffects();
        loadOverlayCatalogue();
        loadErrors = testing::internal::GetCapturedStderr();
        glGetDoublev(GL_PROJECTION_MATRIX, startUpProjection);
    }

    ScenePictureOptions options;
    std::string loadErrors;
    GLdouble startUpProjection[16] = {};
};

float phaseAt(SceneTime t) {
    return scenePhase(t);
}

TEST_F(EffectScenes, CutOutsShowThe3DImageWhereAlphaIsLowAndScenesHandBackTheirState) {
    // The box's orbit divisor, carried from frame to frame as boxScene does.
    float divisor = boxStartOrbitDivisor;
    const struct {
        SceneTime lower, upper;
        std::function<void(SceneTime)> scene;
        std::function<void(SceneTime)> render;
        Rgb overlay;
        bool spheres;
    } windows[] = {
        {67522, 81511,
         [&](SceneTime t) {
             const BoxShot shot = boxShotAt(t, divisor);
             divisor = shot.orbitDivisor;
             drawBoxShot(shot);
         },
         [&](SceneTime t) {
             const BoxShot shot = boxShotAt(t, divisor);
             renderBox(shot.phase, shot.cameraAngle);
         },
         sceneColour("data/bloboverlay.jpg"), false},
        {81679, 88393, spheresScene,
         [](SceneTime t) { renderSpheres(phaseAt(t), spheresShotAt(t).cameraDistance); },
         sceneColour("data/sphereoverlay.jpg"), true},
    };
    int drawnProbes = 0;
    // The stride meets the first two divisor windows and the first zoom.
    for (const auto& w : windows) {
        for (SceneTime t = w.lower + 1; t < w.upper; t += 241) {
            // The renderer first, so that the scene and the reference after it
            // draw the same shapes (the blob shows the previous deformation).
            w.render(t);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            w.scene(t);
            // The grain drawn after every scene resets blending and depth
            // writes, so a scene that leaks them must be caught here.
            GLboolean depthWrites = GL_FALSE;
            glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
            EXPECT_TRUE(depthWrites && !glIsEnabled(GL_BLEND)) << "t = " << t;
            GLdouble projection[16];
            glGetDoublev(GL_PROJECTION_MATRIX, projection);
            EXPECT_EQ(std::memcmp(projection, startUpProjection, sizeof projection), 0) << t;
            if (w.spheres) {
                EXPECT_EQ(std::memcmp(&sphereWorkingTable(), &sphereRestTable(),
                                      sizeof sphereRestTable()),
                          0)
                    << t;
            }
            std::vector<std::vector<uint8_t>> scene;
            for (int y = 100; y < 480; y += 140) {
                for (int x = 60; x < 640; x += 80) {
                    scene.push_back(pixelAt(x, y));
                }
            }
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            w.render(t);
            for (size_t k = 0; k < scene.size(); ++k) {
                const int x = 60 + static_cast<int>(k % 8) * 80,
                          y = 100 + static_cast<int>(k / 8) * 140;
                const std::vector<uint8_t> drawn = pixelAt(x, y);
                const bool cut = x < 320;
                EXPECT_TRUE(cut ? scene[k] == drawn : pixelNear(scene[k], w.overlay))
                    << "t = " << t << " at " << x << ", " << y << ": " << describePixel(scene[k]);
                drawnProbes += cut && !pixelNear(drawn, {0, 0, 0}, 2);
            }
        }
    }
    EXPECT_EQ(divisor, 1300);
    EXPECT_GT(drawnProbes, 100) << "the 3D images hardly showed under the cut-outs";
}

// Whether the eye ray through a pixel misses the cube (0), crosses the cube
// but not the true sphere of radius 5 (1), or meets the sphere (2); -1 within
// a margin of an edge.
int rayClass(const GLdouble* modelview, const GLdouble* projection, const GLint* viewport, int x,
             int y) {
    double a[3], b[3];
    gluUnProject(x + 0.5, y + 0.5, 0, modelview, projection, viewport, &a[0], &a[1], &a[2]);
    gluUnProject(x + 0.5, y + 0.5, 1, modelview, projection, viewport, &b[0], &b[1], &b[2]);
    const double length = std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
    const double d[3] = {(b[0] - a[0]) / length, (b[1] - a[1]) / length, (b[2] - a[2]) / length};
    const double along = -(a[0] * d[0] + a[1] * d[1] + a[2] * d[2]);
    const double miss = std::hypot(a[0] + along * d[0], a[1] + along * d[1], a[2] + along * d[2]);
    double enter = -1e30, leave = 1e30;
    for (int c = 0; c < 3; ++c) {
        const double t1 = (-5.1 - a[c]) / d[c], t2 = (5.1 - a[c]) / d[c];
        enter = std::max(enter, std::min(t1, t2));
        leave = std::min(leave, std::max(t1, t2));
    }
    if (std::abs(miss - 5) < 0.2 || std::abs(leave - enter) < 0.3) {
        return -1;
    }
    return leave < enter ? 0 : miss < 5 ? 2 : 1;
}

TEST_F(EffectScenes, FirstBlobIsATrueSphereBehindTwoTranslucentCubeFaces) {
    forgetSphereTable();
    renderBox(0.3f, 0.8f);
    glPushMatrix();
    const double angle = 0.8f;
    gluLookAt(20 * std::sin(angle), 20 * std::cos(angle), 20, 2, 0, 0, 0, 1, 0);
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPopMatrix();

    // The cube texture's alpha is its brightest channel. Through the cube the
    // black background gets a front and a back face blended over it; the blob
    // hides the back faces and gets the front face only.
    const Rgb cube = sceneColour("data\\kasse_trans_texture.jpg");
    const double alpha = std::max({cube.r, cube.g, cube.b}) / 255.0;
    auto over = [&](Rgb below) {
        auto mix = [&](int c, int b) {
            return static_cast<int>(std::lround(c * alpha + b * (1 - alpha)));
        };
        return Rgb{mix(cube.r, below.r), mix(cube.g, below.g), mix(cube.b, below.b)};
    };
    const Rgb expected[] = {
        {0, 0, 0}, over(over({0, 0, 0})), over(sceneColour("data\\kasse_texture.jpg"))};
    int counted[3] = {};
    for (int y = 8; y < height; y += 16) {
        for (int x = 8; x < width; x += 16) {
            const int k = rayClass(modelview, projection, viewport, x, y);
            if (k >= 0) {
                ++counted[k];
                EXPECT_TRUE(pixelNear(pixelAt(x, y), expected[k], 6))
                    << "class " << k << " at " << x << ", " << y << ": "
                    << describePixel(pixelAt(x, y));
            }
        }
    }
    EXPECT_GT(std::min({counted[0], counted[1], counted[2]}), 20);
}

class MissingEffectPictures : public EffectScenes {
protected:
    void SetUp() override {
        options.missing = {"data\\kasse_texture.jpg", "data\\kasse_trans_texture.jpg",
                           "data\\spheres_texture1.jpg"};
        EffectScenes::SetUp();
    }
};

TEST_F(MissingEffectPictures, AreReportedInLoadOrderAndTheirSurfacesDrawWhite) {
    // The first sphere texture is loaded twice, once for each of its spheres.
    const std::vector<std::string> expected = {
        "data\\kasse_texture.jpg", "data\\kasse_trans_texture.jpg", "data\\spheres_texture1.jpg",
        "data\\spheres_texture1.jpg"};
    EXPECT_EQ(errorLoadingRecords(loadErrors), expected);

    // The cube, now opaque white, lies in front of the blob at the centre.
    renderBox(0.3f, 0.8f);
    EXPECT_TRUE(pixelNear(pixelAt(320, 240), {255, 255, 255}, 2));
}

}  // namespace
