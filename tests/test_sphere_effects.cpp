#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "effects/box.h"
#include "effects/sphere.h"
#include "effects/spheres.h"
#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "shell/startup.h"
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
        {67523, 1500}, {71080, 1500}, {71081, 1000}, {71299, 1000}, {71300, 1000},
        {72174, 1000}, {72175, 1300}, {73046, 1300}, {74000, 1300}, {74611, 1300},
        {75000, 1300}, {77000, 1300}, {79947, 1300}, {80500, 1300}, {81510, 1300},
    };
    // Every millisecond of the scene in order, as frames would come.
    float held = 1500;
    size_t next = 0;
    for (SceneTime t = 67523; t < 81511 && next < std::size(checkpoints); ++t) {
        held = nextBoxOrbitDivisor(held, t);
        if (t == checkpoints[next].t) {
            EXPECT_EQ(held, checkpoints[next].divisor) << "t = " << t;
            ++next;
        }
    }
    EXPECT_EQ(next, std::size(checkpoints));
    // A value from elsewhere survives every millisecond outside the windows.
    for (SceneTime t : {67523u, 71080u, 71300u, 74000u, 74841u, 79947u, 81510u}) {
        EXPECT_EQ(nextBoxOrbitDivisor(777, t), 777) << "t = " << t;
    }
    EXPECT_EQ(boxCameraAngle(71080, 1500), 71080.0f / 1500.0f);
    EXPECT_EQ(boxCameraAngle(71081, 1000), 71081.0f / 1000.0f);
}

TEST(SpheresScene, ZoomsInOnlyStrictlyInsideItsFiveWindows) {
    const struct {
        SceneTime t;
        float distance;
    } cases[] = {
        {81680, 5},   {82635, 5},   {82636, 2.5}, {82700, 2.5}, {82734, 2.5}, {82735, 5},
        {84397, 5},   {84398, 2.5}, {84496, 2.5}, {84497, 5},   {85277, 2.5}, {85375, 2.5},
        {85376, 5},   {86246, 5},   {86247, 2.5}, {86345, 2.5}, {87944, 5},   {87945, 2.5},
        {88043, 2.5}, {88044, 5},   {88392, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(spheresCameraDistance(c.t), c.distance) << "t = " << c.t;
    }
}

std::vector<uint8_t> wholeFrame() {
    std::vector<uint8_t> rgb(640 * 480 * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

int pixelsNear(const std::vector<uint8_t>& frame, Rgb colour) {
    int count = 0;
    for (size_t p = 0; p + 2 < frame.size(); p += 3) {
        count += pixelNear({frame[p], frame[p + 1], frame[p + 2]}, colour, 4);
    }
    return count;
}

// Each overlay's alpha picture is black on its left half and white on its
// right half, so the cut-out must leave the left half of the 3D image as it was
// drawn and cover the right half with the overlay's colour.
void writeHalfCutOverlay(const std::string& directory, const std::string& name) {
    constexpr int side = 64;
    std::vector<uint8_t> halves(side * side * 3, 0);
    for (size_t p = 0; p < side * side; ++p) {
        if (p % side >= side / 2) {
            halves[p * 3] = halves[p * 3 + 1] = halves[p * 3 + 2] = 255;
        }
    }
    const Rgb colour = sceneColour("data/" + name + ".jpg");
    ASSERT_TRUE(
        writeFile(directory + "/data/" + name + "_alfa.jpg", encodeJpeg(side, side, 3, halves)));
    ASSERT_TRUE(
        writeFile(directory + "/data/" + name + ".jpg",
                  solidColourJpeg(side, side, static_cast<uint8_t>(colour.r),
                                  static_cast<uint8_t>(colour.g), static_cast<uint8_t>(colour.b))));
}

class EffectScenePixels : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        directory = makeTemporaryDirectory("velmorra-sphere-effects");
        writeScenePictures(directory, options);
        writeHalfCutOverlay(directory, "sphereoverlay");
        writeHalfCutOverlay(directory, "bloboverlay");
        setProgramDirectory(directory + "/");
        testing::internal::CaptureStderr();
        buildEffects();
        loadOverlayCatalogue();
        loadErrors = testing::internal::GetCapturedStderr();
        glGetDoublev(GL_PROJECTION_MATRIX, startUpProjection);
    }

    ScenePictureOptions options;
    std::string directory;
    std::string loadErrors;
    GLdouble startUpProjection[16] = {};
};

TEST_F(EffectScenePixels, OverlayCutsOutTheSpheresAndEveryFrameEndsAtRestAt45Degrees) {
    const Rgb overlay = sceneColour("data/sphereoverlay.jpg");
    int drawnProbes = 0;
    for (SceneTime t : {81680u, 82700u, 84000u, 85000u, 87950u, 88392u}) {
        const float phase = static_cast<float>(t) * 0.00066666666f;
        const float distance = spheresCameraDistance(t);
        // Whichever sphere comes first builds the table as a true sphere; draw
        // once so the reference below sees the same shapes as the scene.
        renderSpheres(phase, distance);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        spheresScene(t);

        EXPECT_EQ(std::memcmp(&sphereWorking, &sphereRest, sizeof sphereRest), 0) << "t = " << t;
        GLdouble projection[16];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        EXPECT_EQ(std::memcmp(projection, startUpProjection, sizeof projection), 0) << "t = " << t;

        std::vector<std::vector<uint8_t>> scene;
        for (int y : {100, 240, 380}) {
            for (int x : {60, 140, 220, 420, 500, 580}) {
                scene.push_back(pixelAt(x, y));
            }
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderSpheres(phase, distance);
        size_t k = 0;
        for (int y : {100, 240, 380}) {
            for (int x : {60, 140, 220, 420, 500, 580}) {
                const std::vector<uint8_t>& got = scene[k++];
                if (x < 320) {
                    const std::vector<uint8_t> drawn = pixelAt(x, y);
                    EXPECT_EQ(got, drawn) << "t = " << t << " at " << x << ", " << y;
                    drawnProbes += !pixelNear(drawn, {0, 0, 0}, 2);
                } else {
                    EXPECT_TRUE(pixelNear(got, overlay))
                        << "t = " << t << " at " << x << ", " << y << ": " << describePixel(got);
                }
            }
        }
    }
    EXPECT_GT(drawnProbes, 6) << "the spheres hardly showed under the cut-out";
}

TEST_F(EffectScenePixels, OverlayCutsOutTheBlobAndTheSceneHoldsItsOrbitDivisor) {
    const Rgb overlay = sceneColour("data/bloboverlay.jpg");
    boxOrbitDivisor = 1500;
    int drawnProbes = 0;
    for (SceneTime t : {67600u, 71080u, 71081u, 72175u, 74000u, 81510u}) {
        const float phase = static_cast<float>(t) * 0.00066666666f;
        const float divisor = nextBoxOrbitDivisor(boxOrbitDivisor, t);
        const float angle = boxCameraAngle(t, divisor);
        // The blob shows the previous frame's shape: draw once so that the
        // scene and the reference both show the shape of this phase.
        renderBox(phase, angle);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        boxScene(t);
        EXPECT_EQ(boxOrbitDivisor, divisor) << "t = " << t;
        std::vector<std::vector<uint8_t>> scene;
        for (int y : {100, 240, 380}) {
            for (int x : {60, 140, 220, 420, 500, 580}) {
                scene.push_back(pixelAt(x, y));
            }
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderBox(phase, angle);
        size_t k = 0;
        for (int y : {100, 240, 380}) {
            for (int x : {60, 140, 220, 420, 500, 580}) {
                const std::vector<uint8_t>& got = scene[k++];
                if (x < 320) {
                    const std::vector<uint8_t> drawn = pixelAt(x, y);
                    EXPECT_EQ(got, drawn) << "t = " << t << " at " << x << ", " << y;
                    drawnProbes += !pixelNear(drawn, {0, 0, 0}, 2);
                } else {
                    EXPECT_TRUE(pixelNear(got, overlay))
                        << "t = " << t << " at " << x << ", " << y << ": " << describePixel(got);
                }
            }
        }
    }
    EXPECT_GT(drawnProbes, 6) << "the blob and cube hardly showed under the cut-out";
}

// Where the eye ray through a pixel meets the box's geometry, worked out
// analytically; Unclear within a margin of an edge.
enum class RayHits { Nothing, CubeOnly, Blob, Unclear };

RayHits classifyRay(const GLdouble* modelview, const GLdouble* projection, const GLint* viewport,
                    int x, int y) {
    double a[3], b[3];
    gluUnProject(x + 0.5, y + 0.5, 0, modelview, projection, viewport, &a[0], &a[1], &a[2]);
    gluUnProject(x + 0.5, y + 0.5, 1, modelview, projection, viewport, &b[0], &b[1], &b[2]);
    double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (double& c : d) {
        c /= length;
    }
    // Distance of the sphere's centre from the ray, and how deep the ray runs
    // inside the cube's slabs (negative: it misses the cube).
    const double along = -(a[0] * d[0] + a[1] * d[1] + a[2] * d[2]);
    const double px = a[0] + along * d[0], py = a[1] + along * d[1], pz = a[2] + along * d[2];
    const double missDistance = std::sqrt(px * px + py * py + pz * pz);
    double enter = -1e30, leave = 1e30;
    for (int c = 0; c < 3; ++c) {
        const double t1 = (-5.1 - a[c]) / d[c], t2 = (5.1 - a[c]) / d[c];
        enter = std::max(enter, std::min(t1, t2));
        leave = std::min(leave, std::max(t1, t2));
    }
    const double depthInCube = leave - enter;
    if (std::abs(missDistance - 5) < 0.2 || std::abs(depthInCube) < 0.3) {
        return RayHits::Unclear;
    }
    if (depthInCube < 0) {
        return RayHits::Nothing;
    }
    return missDistance < 5 ? RayHits::Blob : RayHits::CubeOnly;
}

TEST_F(EffectScenePixels, FirstBlobIsATrueSphereUnderTwoTranslucentCubeFaces) {
    sphereWorking = {};
    sphereRest = {};
    sphereTableBuilt = false;
    const float angle = 0.8f;
    renderBox(0.3f, angle);

    glPushMatrix();
    gluLookAt(20 * std::sin(angle), 20 * std::cos(angle), 20, 2, 0, 0, 0, 1, 0);
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPopMatrix();

    // The cube texture's alpha is its own brightest channel. Seen through the
    // cube, the black background gets the front and back faces blended over
    // it; the blob (in front of the back faces) gets the front face only.
    const Rgb cube = sceneColour("data\\kasse_trans_texture.jpg");
    const Rgb blob = sceneColour("data\\kasse_texture.jpg");
    const double alpha = std::max({cube.r, cube.g, cube.b}) / 255.0;
    auto over = [&](Rgb below) {
        auto mix = [&](int c, int under) {
            return static_cast<int>(std::lround(c * alpha + under * (1 - alpha)));
        };
        return Rgb{mix(cube.r, below.r), mix(cube.g, below.g), mix(cube.b, below.b)};
    };
    const Rgb expected[] = {{0, 0, 0}, over(over({0, 0, 0})), over(blob)};
    int counted[3] = {};
    for (int y = 8; y < height; y += 16) {
        for (int x = 8; x < width; x += 16) {
            const RayHits hits = classifyRay(modelview, projection, viewport, x, y);
            if (hits == RayHits::Unclear) {
                continue;
            }
            const int k = static_cast<int>(hits);
            ++counted[k];
            const std::vector<uint8_t> got = pixelAt(x, y);
            EXPECT_TRUE(pixelNear(got, expected[k], 6))
                << "class " << k << " at " << x << ", " << y << ": " << describePixel(got);
        }
    }
    for (int count : counted) {
        EXPECT_GT(count, 20);
    }
}

// What a scene must hand back: the state every scene finds on entry.
std::string leftOverState(const GLdouble* startUpProjection) {
    std::string out;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    GLdouble projection[16], modelview[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    if (mode != GL_MODELVIEW) {
        out += " matrix mode;";
    }
    if (std::memcmp(projection, startUpProjection, sizeof projection) != 0) {
        out += " projection;";
    }
    for (int i = 0; i < 16; ++i) {
        if (modelview[i] != (i % 5 == 0 ? 1.0 : 0.0)) {
            out += " modelview;";
            break;
        }
    }
    for (const auto& [capability, on, name] : {
             std::tuple{GL_TEXTURE_2D, true, "texture 2D"},
             {GL_DEPTH_TEST, true, "depth test"},
             {GL_BLEND, false, "blend"},
             {GL_ALPHA_TEST, false, "alpha test"},
             {GL_FOG, false, "fog"},
             {GL_SCISSOR_TEST, false, "scissor"},
             {GL_CULL_FACE, false, "cull face"},
         }) {
        if ((glIsEnabled(capability) == GL_TRUE) != on) {
            out += std::string(" ") + name + (on ? " off;" : " on;");
        }
    }
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (depthWrites != GL_TRUE) {
        out += " depth writes off;";
    }
    return out;
}

TEST_F(EffectScenePixels, BothScenesHandBackTheFrameStateInEveryWindow) {
    std::vector<std::string> failures;
    const struct {
        SceneTime lower, upper;
        void (*scene)(SceneTime);
    } windows[] = {{67522, 81511, boxScene}, {81679, 88393, spheresScene}};
    for (const auto& window : windows) {
        for (SceneTime t = window.lower + 1; t < window.upper; t += 97) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            window.scene(t);
            const std::string left = leftOverState(startUpProjection);
            if (!left.empty() && failures.size() < 10) {
                failures.push_back("t = " + std::to_string(t) + ":" + left);
            }
        }
    }
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
}

class MissingEffectPictures : public EffectScenePixels {
protected:
    void SetUp() override {
        options.missing = {"data\\kasse_texture.jpg", "data\\kasse_trans_texture.jpg",
                           "data\\spheres_texture1.jpg"};
        EffectScenePixels::SetUp();
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
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderBox(0.3f, 0.8f);
    EXPECT_TRUE(pixelNear(pixelAt(320, 240), {255, 255, 255}, 2))
        << describePixel(pixelAt(320, 240));

    // Two of the four spheres lose their texture; the others keep theirs.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderSpheres(56.0f, 5.0f);
    const std::vector<uint8_t> frame = wholeFrame();
    EXPECT_GT(pixelsNear(frame, {255, 255, 255}), 1000);
    EXPECT_EQ(pixelsNear(frame, sceneColour("data\\spheres_texture1.jpg")), 0);
}

}  // namespace
