#include <GL/gl.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "effects/tunnel.h"
#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "sequence/timeline.h"
#include "support/gl_context.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

TEST(TunnelScene, OffsetsCutAtTheirThresholdsAndTheZoomWidensAfter107710) {
    const struct {
        SceneTime t;
        SceneTime offset;
    } offsets[] = {
        {88841, 0},     {92750, 0},     {92751, 500},   {93723, 1500},  {94559, 500},
        {97274, 2000},  {98146, 3500},  {99920, 1500},  {100863, 3000}, {101678, 4500},
        {102040, 3000}, {103008, 5000}, {104378, 3500}, {105229, 2500}, {107036, 6500},
        {108821, 6500}, {108822, 2000}, {109151, 2000}, {109152, 5500}, {109586, 5500},
    };
    for (const auto& c : offsets) {
        EXPECT_EQ(tunnelShotAt(c.t).timeOffset, c.offset) << "t = " << c.t;
    }

    EXPECT_FALSE(tunnelShotAt(107710).fieldOfView.has_value());
    const struct {
        SceneTime t;
        float degrees;
    } zoom[] = {{107711, 45.045f}, {108710, 90.0f}, {109586, 129.42f}};
    for (const auto& c : zoom) {
        const std::optional<float> fieldOfView = tunnelShotAt(c.t).fieldOfView;
        ASSERT_TRUE(fieldOfView.has_value()) << "t = " << c.t;
        EXPECT_NEAR(*fieldOfView, c.degrees, 1e-3) << "t = " << c.t;
    }
}

class TunnelFrames : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
    }
};

// Whether a pixel is the colour c darkened by black fog: the same hue at
// some brightness.
bool fogged(const std::vector<uint8_t>& pixel, Rgb c) {
    const double dot = pixel[0] * c.r + pixel[1] * c.g + pixel[2] * c.b;
    const double k = dot / (c.r * c.r + c.g * c.g + c.b * c.b);
    return k > 0.15 && std::abs(pixel[0] - k * c.r) < 14 && std::abs(pixel[1] - k * c.g) < 14 &&
           std::abs(pixel[2] - k * c.b) < 14;
}

// The camera flies inside the tube, so the corners of the screen always look
// at a wall or a cube: never at black.
TEST_F(TunnelFrames, CornersShowTheFoggedWallsOrCubesTexturedOrPlainWhite) {
    const std::string tube = "data\\tunnel_texture.jpg";
    const std::string cube = "data\\tunnel_kasse_texture.jpg";
    for (bool tubeMissing : {false, true}) {
        std::set<std::string> missing;
        std::vector<std::string> expected;
        if (tubeMissing) {
            missing.insert(tube);
            expected.push_back(tube);
        }
        EXPECT_EQ(buildWithScenePictures(buildTunnel, {missing}), expected);
        const Rgb wall = tubeMissing ? Rgb{255, 255, 255} : sceneColour(tube);
        for (SceneTime t : {88841u, 95000u, 101000u, 108000u, 109586u}) {
            renderFrame(t);
            const int corners[4][2] = {
                {4, 4}, {width - 5, 4}, {4, height - 5}, {width - 5, height - 5}};
            for (const auto& corner : corners) {
                const auto pixel = pixelAt(corner[0], corner[1]);
                EXPECT_TRUE(fogged(pixel, wall) || fogged(pixel, sceneColour(cube)))
                    << "t = " << t << " tube missing " << tubeMissing << " at (" << corner[0]
                    << ", " << corner[1] << "): " << describePixel(pixel);
            }
        }
    }
}

}  // namespace
