#include <GL/gl.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "effects/bitmap_environment.h"
#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "sequence/timeline.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

TEST(BitmapSheet, GridStopsOneStepShortOfTheFarEdgesAndWavesDeepenTroughs) {
    const GridVertex* grid = makeGrid(75.0f, 75.0f, 25, 25, -10.0f, 2.0f, 2.0f);
    const struct {
        int index;
        GridVertex v;
    } cases[] = {
        {0, {-37.5f, -37.5f, -10.0f, 0.0f, 0.0f}},   {1, {-34.5f, -37.5f, -10.0f, 0.08f, 0.0f}},
        {24, {34.5f, -37.5f, -10.0f, 1.92f, 0.0f}},  {25, {-37.5f, -34.5f, -10.0f, 0.0f, 0.08f}},
        {624, {34.5f, 34.5f, -10.0f, 1.92f, 1.92f}},
    };
    for (const auto& c : cases) {
        const GridVertex& v = grid[c.index];
        EXPECT_FLOAT_EQ(v.x, c.v.x) << c.index;
        EXPECT_FLOAT_EQ(v.y, c.v.y) << c.index;
        EXPECT_FLOAT_EQ(v.z, c.v.z) << c.index;
        EXPECT_FLOAT_EQ(v.s, c.v.s) << c.index;
        EXPECT_FLOAT_EQ(v.t, c.v.t) << c.index;
    }
    delete[] grid;

    EXPECT_EQ(sheetWave(-2.5f), -5.0f);
    EXPECT_EQ(sheetWave(-0.001f), -0.002f);
    EXPECT_EQ(sheetWave(0.0f), 0.0f);
    EXPECT_EQ(sheetWave(3.25f), 3.25f);
}

// The speed after a run of frames drawn at a fixed rate from the start of
// the scene to t = 122000, and the time of the first frame drawn at 1.0.
struct SlowDown {
    float finalSpeed = bitmapStartSpeed;
    int framesInWindow = 0;
    SceneTime firstAtOne = 0;
};

SlowDown slowDownAt(int fps) {
    SlowDown result;
    float speed = bitmapStartSpeed;
    for (long frame = 0;; ++frame) {
        const auto t = static_cast<SceneTime>(frame * 1000 / fps);
        if (t <= 110150) {
            continue;
        }
        if (t > 122000) {
            break;
        }
        speed = bitmapShotAt(t, speed).speed;
        result.framesInWindow += (117236 < t && t < 121000) ? 1 : 0;
        if (speed == 1.0f && result.firstAtOne == 0) {
            result.firstAtOne = t;
        }
        EXPECT_GE(speed, 1.0f) << "t = " << t;
    }
    result.finalSpeed = speed;
    return result;
}

TEST(BitmapScene, SpeedFallsHalfAStepPerFrameDrawnInItsWindowAndStopsAtOne) {
    // One frame at a time around the window's edges.
    EXPECT_EQ(bitmapShotAt(117236, 20.0f).speed, 20.0f);
    EXPECT_EQ(bitmapShotAt(117237, 20.0f).speed, 19.5f);
    EXPECT_EQ(bitmapShotAt(120999, 19.5f).speed, 19.0f);
    EXPECT_EQ(bitmapShotAt(121000, 19.0f).speed, 19.0f);
    EXPECT_EQ(bitmapShotAt(118000, 1.0f).speed, 1.0f);
    EXPECT_EQ(bitmapShotAt(118000, 1.2f).speed, 1.0f);

    // At 60 and 30 frames per second the window holds far more than the 38
    // frames the fall takes: the speed reaches 1.0 after 38 frames.
    const SlowDown at60 = slowDownAt(60);
    EXPECT_EQ(at60.finalSpeed, 1.0f);
    // The first frame in the window is number 7035 (t = 117250); the 38th
    // after it brings the speed to 1.0.
    EXPECT_EQ(at60.firstAtOne, static_cast<SceneTime>((7035 + 37) * 1000L / 60));
    const SlowDown at30 = slowDownAt(30);
    EXPECT_GE(at30.framesInWindow, 38);
    EXPECT_EQ(at30.finalSpeed, 1.0f);
    // Fewer frames than that (8 per second: 30 in the window) leave the
    // sheet faster than normal for the rest of the scene.
    const SlowDown at8 = slowDownAt(8);
    EXPECT_EQ(at8.framesInWindow, 30);
    EXPECT_EQ(at8.finalSpeed, 20.0f - 0.5f * 30);

    // The phase uses the whole scene time, so each drop is a jump.
    EXPECT_EQ(bitmapShotAt(117236, 20.0f).phase,
              static_cast<float>(20.0 * 117236 * 0.00066666666f));
    EXPECT_EQ(bitmapShotAt(131000, 1.0f).phase, static_cast<float>(131000 * 0.00066666666));
}

TEST(BitmapScene, ClosingPicturesFollowTheirThresholds) {
    const struct {
        SceneTime t;
        int index;
    } cases[] = {
        {117702, -1}, {117703, 0}, {119478, 0}, {119479, 1}, {121254, 2}, {123032, 3}, {124805, 4},
        {125694, 5},  {126584, 6}, {127473, 7}, {128358, 8}, {129244, 8}, {129245, 9}, {131026, 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bitmapShotAt(c.t, bitmapStartSpeed).closingPicture, c.index) << "t = " << c.t;
    }
}

class BitmapFrames : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
    }

    static std::vector<uint8_t> centreAfterFrame(SceneTime t) {
        renderFrame(t);
        return pixelAt(width / 2, height / 2);
    }

    // White (texture 0 draws untextured) or the picture's test colour.
    static Rgb textureColour(const std::string& name, bool missing) {
        return missing ? Rgb{255, 255, 255} : sceneColour(name);
    }

    static Rgb modulated(Rgb a, Rgb b) {
        return {a.r * b.r / 255, a.g * b.g / 255, a.b * b.b / 255};
    }
};

// The sheet always covers the centre of the screen: the pixel there is the
// base picture modulated by the environment picture, until a closing picture
// is laid over it.
TEST_F(BitmapFrames, CentreShowsBothTexturesThenTheClosingPictures) {
    const std::string base = "data\\bitmap_texture.jpg";
    const std::string environment = "data\\bitmap_env.jpg";
    for (bool baseMissing : {false, true}) {
        std::set<std::string> missing;
        if (baseMissing) {
            missing.insert(base);
        }
        std::vector<std::string> expected;
        if (baseMissing) {
            expected.push_back(base);
        }
        EXPECT_EQ(buildWithScenePictures(buildBitmap, {missing}), expected);
        const Rgb sheet =
            modulated(textureColour(base, baseMissing), textureColour(environment, false));
        for (SceneTime t : {110151u, 112345u, 117702u}) {
            auto pixel = centreAfterFrame(t);
            EXPECT_TRUE(pixelNear(pixel, sheet, 16))
                << "t = " << t << " base missing " << baseMissing << ": " << describePixel(pixel);
        }
    }
    const struct {
        SceneTime t;
        const char* picture;
    } closing[] = {
        {117703, "data/slut1.jpg"}, {119479, "data/slut2.jpg"}, {129245, "data/slut10.jpg"}};
    for (const auto& c : closing) {
        auto pixel = centreAfterFrame(c.t);
        EXPECT_TRUE(pixelNear(pixel, sceneColour(c.picture)))
            << "t = " << c.t << ": " << describePixel(pixel);
    }
}

// Counts the triangles a draw produces, through GL's feedback mode.
int trianglesDrawn(int columns, int rows, const GridVertex* grid) {
    const std::vector<FeedbackPolygon> polygons =
        feedbackPolygons([&] { drawGrid(columns, rows, grid); });
    for (const FeedbackPolygon& polygon : polygons) {
        EXPECT_EQ(polygon.size(), 3u);
    }
    return static_cast<int>(polygons.size());
}

TEST_F(BitmapFrames, GridDrawsTwoTrianglesPerCellAndNoneWithoutACell) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-40, 40, -40, 40, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    const GridVertex* grid = makeGrid(75.0f, 75.0f, 25, 25, -10.0f, 2.0f, 2.0f);
    EXPECT_EQ(trianglesDrawn(25, 25, grid), 1152);
    EXPECT_EQ(trianglesDrawn(25, 1, grid), 0);
    EXPECT_EQ(trianglesDrawn(1, 25, grid), 0);
    delete[] grid;
    resetGlState();
}

}  // namespace
