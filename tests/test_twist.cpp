#include <GL/gl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/render_config.h"
#include "effects/twist.h"
#include "gfx/textured_box.h"
#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "sequence/effect_builds.h"
#include "sequence/timeline.h"
#include "support/gl_context.h"
#include "support/jpeg_encode.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

TEST(TwistPillarScene, PicturesAndPillarFollowTheirWindows) {
    // second is the late machine picture, -1 outside 25334 < t < 30664.
    const struct {
        SceneTime t;
        int machine;
        int second;
        std::optional<float> eyeDepth;
        float centreX;
    } cases[] = {
        {11126, 0, -1, std::nullopt, 0.0f}, {11127, 1, -1, std::nullopt, 0.0f},
        {12011, 1, -1, std::nullopt, 0.0f}, {12012, 2, -1, std::nullopt, 0.0f},
        {16453, 8, -1, std::nullopt, 0.0f}, {17341, 8, -1, std::nullopt, 0.0f},
        {17342, 9, -1, std::nullopt, 0.0f}, {17777, 9, -1, std::nullopt, 0.0f},
        {17778, 9, -1, 19.0f, 3.124f},      {19339, 9, -1, 19.0f, 0.002f},
        {19340, 9, -1, std::nullopt, 0.0f}, {19341, 9, -1, 10.0f, 0.0f},
        {21375, 9, -1, std::nullopt, 0.0f}, {21376, 9, -1, 69.0f, 0.0f},
        {23148, 9, -1, std::nullopt, 0.0f}, {23149, 9, -1, 19.0f, 0.0f},
        {25335, 9, 0, 19.0f, 0.0f},         {25997, 9, 0, 19.0f, 0.0f},
        {25998, 9, 1, 19.0f, 0.0f},         {27111, 9, 0, 19.0f, 0.0f},
        {27112, 9, 2, 19.0f, 0.0f},         {29549, 9, 0, 19.0f, 0.0f},
        {29550, 9, 6, 19.0f, 0.0f},         {30663, 9, 6, 19.0f, 0.0f},
    };
    for (const auto& c : cases) {
        const TwistPillarShot shot = twistPillarShotAt(c.t);
        EXPECT_EQ(shot.machinePicture, c.machine) << "t = " << c.t;
        EXPECT_EQ(shot.latePicture, c.second) << "t = " << c.t;
        const std::optional<PillarView>& view = shot.view;
        ASSERT_EQ(view.has_value(), c.eyeDepth.has_value()) << "t = " << c.t;
        if (view) {
            EXPECT_EQ(view->eyeDepth, *c.eyeDepth) << "t = " << c.t;
            EXPECT_NEAR(view->centreX, c.centreX, 1e-5) << "t = " << c.t;
        }
    }
}

TEST(TwistRoomScene, CameraOffsetAndCutoutsFollowTheirWindows) {
    const struct {
        SceneTime t;
        float offset;
        int cutout;
    } cases[] = {
        {53313, 0.0f, -1},     {53607, 0.0f, -1},     {53608, 2000.0f, -1},  {53744, 2000.0f, 0},
        {54636, 3000.0f, 0},   {54637, 3000.0f, -1},  {55858, 4000.0f, -1},  {58817, 11000.0f, -1},
        {58818, 12000.0f, -1}, {58819, 12310.0f, -1}, {62965, 14000.0f, -1}, {62966, 10000.0f, 5},
        {65728, 1000.0f, 6},   {65729, 500.0f, 6},    {66191, 500.0f, -1},   {66517, 500.0f, -1},
    };
    for (const auto& c : cases) {
        const TwistRoomShot shot = twistRoomShotAt(c.t);
        EXPECT_EQ(shot.cameraOffset, c.offset) << "t = " << c.t;
        EXPECT_EQ(shot.cutout, c.cutout) << "t = " << c.t;
    }
}

// Rows of a width x height screen that no strip covers.
std::vector<int> uncoveredRows(int width, int height) {
    std::vector<int> covered(height, 0);
    for (int i = 1; i <= crossSliceCount; ++i) {
        const StripBox box = stripBox(i, crossSliceCount, width, height);
        EXPECT_EQ(box.x, 0);
        EXPECT_EQ(box.width, width);
        for (int row = box.y; row < box.y + box.height && row < height; ++row) {
            ++covered[row];
        }
    }
    std::vector<int> rows;
    for (int row = 0; row < height; ++row) {
        EXPECT_LE(covered[row], 1) << "row " << row << " of " << height << " lies in two strips";
        if (covered[row] == 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

TEST(TwistStrips, TileTheScreenOnlyWhenItsHeightIsAMultipleOf240) {
    EXPECT_EQ(stripBox(1, 240, 640, 480).y, 478) << "strip 1 is the top strip";
    EXPECT_EQ(stripBox(240, 240, 640, 480).y, 0);
    EXPECT_TRUE(uncoveredRows(640, 480).empty());

    const struct {
        int height;
        size_t count;
        std::vector<int> first;
    } cases[] = {
        {600, 120, {2, 7, 12, 17}},
        {768, 48, {3, 19, 35, 51}},
        {1024, 64, {4, 17, 34, 51}},
    };
    for (const auto& c : cases) {
        const std::vector<int> rows = uncoveredRows(800, c.height);
        ASSERT_EQ(rows.size(), c.count) << "height " << c.height;
        EXPECT_EQ(std::vector<int>(rows.begin(), rows.begin() + 4), c.first)
            << "height " << c.height;
    }
}

bool isBlack(const std::vector<uint8_t>& pixel) {
    return pixel[0] < 8 && pixel[1] < 8 && pixel[2] < 8;
}

// Frames drawn in-process from solid-colour pictures.
class TwistPixels : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        directory = makeTemporaryDirectory("velmorra-twist");
        writeScenePictures(directory);
        setProgramDirectory(directory + "/");
    }

    void TearDown() override {
        renderConfig = RenderConfig{width, height, 0};
        resetGlState();
    }

    // Column x of the back buffer, bottom row first.
    static std::vector<std::vector<uint8_t>> column(int x) {
        std::vector<uint8_t> rgb(static_cast<size_t>(height) * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, 0, 1, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        std::vector<std::vector<uint8_t>> rows;
        for (int y = 0; y < height; ++y) {
            rows.push_back({rgb[y * 3], rgb[y * 3 + 1], rgb[y * 3 + 2]});
        }
        return rows;
    }

    std::string directory;
};

TEST_F(TwistPixels, StripsCoverEveryRowAt480AndLeaveEveryFifthRowBlackAt600) {
    // A white box around the camera fills the view whatever the strip's turn.
    const GLuint enclosing = glGenLists(1);
    glNewList(enclosing, GL_COMPILE);
    drawTexturedBox(0.0f, 0.0f, 0.0f, 50.0f, 50.0f, 50.0f, 1.0f, 1.0f, 0);
    glEndList();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawCrossSlices(enclosing, 0.3f);
    std::vector<std::vector<uint8_t>> rows = column(width / 2);
    for (int y = 0; y < height; ++y) {
        EXPECT_FALSE(isBlack(rows[y])) << "row " << y << " at 480: " << describePixel(rows[y]);
    }

    // The strips of a 600-row screen, seen through the lower 480 rows.
    renderConfig.height = 600;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawCrossSlices(enclosing, 0.3f);
    rows = column(width / 2);
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(isBlack(rows[y]), y % 5 == 2)
            << "row " << y << " at 600: " << describePixel(rows[y]);
    }
    glDeleteLists(enclosing, 1);
}

TEST_F(TwistPixels, BarsInOneRunDrawTheSamePictureAsBoxByBox) {
    // Two colours, so a bar drawn in the post's texture would show.
    const GLuint boxByBox = glGenLists(1);
    glNewList(boxByBox, GL_COMPILE);
    const int32_t post = 0;
    GLuint bar = 0;
    glGenTextures(1, &bar);
    glBindTexture(GL_TEXTURE_2D, bar);
    const uint8_t red[3] = {200, 30, 30};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, red);
    const int32_t barTexture = static_cast<int32_t>(bar);
    drawTexturedBox(0.0f, 0.0f, 0.0f, 2.0f, 20.0f, 2.0f, 2.0f, 1.0f, post);
    drawTexturedBox(0.0f, 2.5f, 0.0f, 20.0f, 1.0f, 1.0f, 1.0f, 1.0f, barTexture);
    drawTexturedBox(0.0f, -2.5f, 0.0f, 20.0f, 1.0f, 1.0f, 1.0f, 1.0f, barTexture);
    glEndList();
    const GLuint oneRun = glGenLists(1);
    glNewList(oneRun, GL_COMPILE);
    drawTexturedBox(0.0f, 0.0f, 0.0f, 2.0f, 20.0f, 2.0f, 2.0f, 1.0f, post);
    const BoxExtents bars[] = {{0.0f, 2.5f, 0.0f, 20.0f, 1.0f, 1.0f},
                               {0.0f, -2.5f, 0.0f, 20.0f, 1.0f, 1.0f}};
    drawTexturedBoxes(bars, 1.0f, 1.0f, barTexture);
    glEndList();

    auto frame = [](GLuint list, float phase) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -30.0f);
        glRotatef(35.0f, 0.0f, 1.0f, 0.0f);
        drawCrossSlices(list, phase);
        glPopMatrix();
        std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    };
    for (const float phase : {0.0f, 1.3f, 2.9f, 35.76f}) {
        const std::vector<uint8_t> expected = frame(boxByBox, phase);
        EXPECT_NE(std::count(expected.begin(), expected.end(), uint8_t{200}), 0)
            << "no bar on screen at phase " << phase;
        EXPECT_TRUE(frame(oneRun, phase) == expected) << "phase " << phase;
    }
    glDeleteLists(boxByBox, 1);
    glDeleteLists(oneRun, 1);
    glDeleteTextures(1, &bar);
}

TEST_F(TwistPixels, CutoutsCoverTheTwistWhereTheirMaskIsAboveHalf) {
    // ost1's mask, the size of its picture: dark on the left half (the room shows), white on the
    // right.
    std::vector<uint8_t> mask(16 * 16 * 3, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 8; x < 16; ++x) {
            for (int c = 0; c < 3; ++c) {
                mask[(y * 16 + x) * 3 + c] = 255;
            }
        }
    }
    ASSERT_TRUE(writeFile(directory + "/data/ost1_alfa.jpg", encodeJpeg(16, 16, 3, mask)));
    buildEffects();
    loadOverlayCatalogue();

    const Rgb ost1 = sceneColour("data/ost1.jpg");
    const struct {
        SceneTime t;
        int x;
        int y;
        std::optional<Rgb> expected;  // nullopt: neither black nor any picture
    } cases[] = {
        {10600, 320, 240, Rgb{0, 0, 0}},
        {12000, 320, 240, sceneColour("data/maskine2.jpg")},
        {12012, 320, 240, sceneColour("data/maskine3.jpg")},
        {27111, 320, 240, sceneColour("data/maskine11.jpg")},
        {27112, 320, 240, sceneColour("data/maskine13.jpg")},
        {31000, 320, 240, sceneColour("data/maskine10.jpg")},
        {54000, 560, 240, ost1},
        {54000, 80, 240, std::nullopt},
        {54000, 80, 60, std::nullopt},
    };
    for (const auto& c : cases) {
        renderFrame(c.t);
        const std::vector<uint8_t> pixel = pixelAt(c.x, c.y);
        if (c.expected) {
            EXPECT_TRUE(pixelNear(pixel, *c.expected))
                << "t = " << c.t << " at (" << c.x << ", " << c.y << "): " << describePixel(pixel);
        } else {
            EXPECT_FALSE(isBlack(pixel) || pixelNear(pixel, ost1))
                << "t = " << c.t << " at (" << c.x << ", " << c.y << "): " << describePixel(pixel);
        }
    }
}

TEST_F(TwistPixels, MissingPicturesAreReportedInLoadOrderAndTheRoomDrawsUntextured) {
    ScenePictureOptions pictures;
    pictures.missing = {"data\\twist_3.jpg", "data\\spike_texture.jpg"};
    const std::string withGaps = makeTemporaryDirectory("velmorra-twist-missing");
    writeScenePictures(withGaps, pictures);
    setProgramDirectory(withGaps + "/");
    testing::internal::CaptureStderr();
    buildEffects();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errorLoadingRecords(errors),
              (std::vector<std::string>{"data\\twist_3.jpg", "data\\spike_texture.jpg"}));

    // The room fills the view: untextured it is white, greyed by the black fog.
    renderFrame(58818);
    for (const int y : {10, 240, 470}) {
        const std::vector<uint8_t> pixel = pixelAt(10, y);
        const bool grey = pixel[0] > 30 && pixel[0] == pixel[1] && pixel[1] == pixel[2];
        EXPECT_TRUE(grey) << "row " << y << ": " << describePixel(pixel);
    }
}

}  // namespace
