#include <GL/gl.h>

#include <string>
#include <vector>

#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/overlay_scenes.h"
#include "sequence/timeline.h"
#include "support/gl_context.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

using G = CreditsGroup;

TEST(CreditsScene, PicksThePictureOfEachStretchAtItsBoundaries) {
    const struct {
        SceneTime t;
        CreditsPicture picture;
    } cases[] = {
        {3650, {}},
        {3651, {G::Code, 0}},
        {3899, {G::Code, 0}},
        {3900, {}},
        {3901, {G::Code, 1}},
        {4461, {G::Code, 1}},
        {4462, {}},
        {4463, {G::Code, 2}},
        {4794, {G::Code, 2}},
        {4795, {}},
        {4796, {G::Code, 3}},
        {5014, {G::Code, 3}},
        {5015, {}},
        {5016, {G::Code, 0}},
        {5017, {G::Code, 1}},
        {5018, {G::Code, 2}},
        {5447, {G::Code, 3}},
        {5448, {}},
        {5449, {G::Gfx, 0}},
        {5684, {G::Gfx, 0}},
        {5685, {}},
        {5686, {G::Gfx, 1}},
        {6240, {}},
        {6241, {G::Gfx, 2}},
        {6573, {}},
        {6574, {G::Gfx, 3}},
        {6795, {}},
        {6796, {G::Gfx, 0}},
        {6797, {G::Gfx, 1}},
        {7236, {G::Gfx, 0}},
        {7237, {}},
        {7238, {G::Msx, 0}},
        {7461, {}},
        {7462, {G::Msx, 1}},
        {8015, {}},
        {8016, {G::Msx, 2}},
        {8348, {}},
        {8349, {G::Msx, 3}},
        {8571, {}},
        {8572, {G::Msx, 0}},
        {8995, {G::Msx, 3}},
        {8996, {}},
        {8997, {G::Pause, 0}},
        {9238, {G::Pause, 0}},
        {9239, {G::Pause, 1}},
        {9791, {G::Pause, 1}},
        {9792, {G::Pause, 1}},
        {10124, {G::Pause, 1}},
        {10125, {}},
        {10300, {}},
        {10650, {}},
    };
    for (const auto& c : cases) {
        CreditsPicture got = creditsShotAt(c.t).picture;
        EXPECT_EQ(got, c.picture) << "t = " << c.t << ": group " << static_cast<int>(got.group)
                                  << " index " << got.index;
    }
}

TEST(CreditsScene, BlanksTheLowerBandFrom9792To10124) {
    const struct {
        SceneTime t;
        bool blanked;
    } cases[] = {{9239, false}, {9791, false},  {9792, true},
                 {10124, true}, {10125, false}, {10650, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(creditsShotAt(c.t).bandBlanked, c.blanked) << "t = " << c.t;
    }
}

TEST(SoyaScene, FallsBackToTheFirstPictureAtEverySwitchingMillisecond) {
    const struct {
        SceneTime t;
        int index;
    } cases[] = {
        {46158, 0}, {46651, 0}, {46652, 1}, {47536, 1}, {47537, 0}, {47538, 2}, {48425, 2},
        {48426, 0}, {48427, 3}, {49307, 3}, {49308, 0}, {49309, 4}, {50197, 4}, {50198, 0},
        {50199, 5}, {51086, 5}, {51087, 0}, {51088, 6}, {51502, 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(soyaShotAt(c.t).picture, c.index) << "t = " << c.t;
    }
}

// Whole frames drawn in-process from a directory of solid-colour pictures: the
// centre pixel names the picture on screen. The grain pictures are black, so
// their alpha is 0 and the blended grain leaves the frame as the scene drew it.
class OverlayScenePixels : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        directory = makeTemporaryDirectory("velmorra-scenes");
        writeScenePictures(directory, options);
        setProgramDirectory(directory + "/");
        testing::internal::CaptureStderr();
        loadOverlayCatalogue();
        loadErrors = testing::internal::GetCapturedStderr();
    }

    std::vector<uint8_t> centreAfterFrame(SceneTime t) {
        renderFrame(t);
        return pixelAt(width / 2, height / 2);
    }

    ScenePictureOptions options;
    std::string directory;
    std::string loadErrors;
};

constexpr Rgb black = {0, 0, 0};

TEST_F(OverlayScenePixels, CentreShowsThePictureOfEachBoundaryTime) {
    ASSERT_EQ(loadErrors, "");
    const struct {
        SceneTime t;
        const char* picture;  // nullptr: black frame
    } cases[] = {
        {0, nullptr},
        {1, "data/hearing2.jpg"},
        {2, "data/hearing1.jpg"},
        {3559, "data/hearing2.jpg"},
        {3560, nullptr},
        {3650, nullptr},
        {3651, "data/code1.jpg"},
        {3899, "data/code1.jpg"},
        {3900, nullptr},
        {3901, "data/code2.jpg"},
        {5016, "data/code1.jpg"},
        {5017, "data/code2.jpg"},
        {6000, "data/gfx2.jpg"},
        {8200, "data/msx3.jpg"},
        {9238, "data/pause1.jpg"},
        {9239, "data/pause2.jpg"},
        {46157, nullptr},
        {46158, "data/soya1.jpg"},
        {47000, "data/soya2.jpg"},
        {47537, "data/soya1.jpg"},
        {47538, "data/soya3.jpg"},
        {51088, "data/soya7.jpg"},
        {51502, "data/soya7.jpg"},
        {51503, nullptr},
        {131027, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> pixel = centreAfterFrame(c.t);
        Rgb expected = c.picture == nullptr ? black : sceneColour(c.picture);
        EXPECT_TRUE(pixelNear(pixel, expected))
            << "t = " << c.t << ": expected " << (c.picture ? c.picture : "black") << ", got "
            << describePixel(pixel);
    }
}

TEST_F(OverlayScenePixels, CutsTheFixedLowerBandOutOfTheLastPausePicture) {
    const Rgb pause = sceneColour("data/pause2.jpg");
    const struct {
        SceneTime t;
        int x;
        int y;  // from the bottom
        bool band;
    } cases[] = {
        {9791, 320, 100, false}, {9791, 320, 300, false},  {9792, 320, 100, true},
        {9792, 320, 300, false}, {9792, 639, 239, true},   {9792, 320, 241, false},
        {10124, 5, 5, true},     {10124, 320, 400, false},
    };
    for (const auto& c : cases) {
        renderFrame(c.t);
        std::vector<uint8_t> pixel = pixelAt(c.x, c.y);
        EXPECT_TRUE(pixelNear(pixel, c.band ? black : pause))
            << "t = " << c.t << " at (" << c.x << ", " << c.y << "): " << describePixel(pixel);
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

class GrainPixels : public OverlayScenePixels {
protected:
    void SetUp() override {
        options.whiteGrain = true;
        OverlayScenePixels::SetUp();
    }
};

TEST_F(GrainPixels, EvenMillisecondsGetTheFirstGrainPictureOddOnesTheSecond) {
    // The first grain picture is white here, so opaque; the second stays black
    // and transparent.
    const Rgb white = {255, 255, 255};
    const struct {
        SceneTime t;
        Rgb expected;
    } cases[] = {
        {0, white},    {1, sceneColour("data/hearing2.jpg")},  {2, white},      {3560, white},
        {3561, black}, {47001, sceneColour("data/soya2.jpg")}, {131027, black}, {131028, white},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> pixel = centreAfterFrame(c.t);
        EXPECT_TRUE(pixelNear(pixel, c.expected)) << "t = " << c.t << ": " << describePixel(pixel);
    }
}

}  // namespace
