#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "gfx/gl_state.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "shell/demo_clock.h"

namespace {

TEST(DemoClock, DividesByTheFrequencyBeforeScalingToMilliseconds) {
    EXPECT_DOUBLE_EQ(DemoClock::elapsedMs(1000, 1000, 1e9), 0.0);
    EXPECT_DOUBLE_EQ(DemoClock::elapsedMs(0, 1500000, 1e6), 1500.0);
    // Divide first, then multiply: the same double the loop computes.
    const int64_t ticks = 123456789;
    const double frequency = 3579545.0;
    EXPECT_EQ(DemoClock::elapsedMs(7, 7 + ticks, frequency),
              static_cast<double>(ticks) / frequency * 1000.0);
    // A counter behind its start gives a negative time.
    EXPECT_LT(DemoClock::elapsedMs(10, 5, 1000.0), 0.0);
}

TEST(DemoClock, SceneTimeTruncatesAndKeepsTheLow32Bits) {
    EXPECT_EQ(sceneTimeFromMs(0.0), 0u);
    EXPECT_EQ(sceneTimeFromMs(0.999), 0u);
    EXPECT_EQ(sceneTimeFromMs(131000.9999), 131000u);
    EXPECT_EQ(sceneTimeFromMs(4294967296.0 + 5.5), 5u);
    EXPECT_EQ(sceneTimeFromMs(-0.5), 0u);  // truncated toward zero
    EXPECT_EQ(sceneTimeFromMs(-1.5), 0xffffffffu);
}

TEST(DemoClock, NeverGoesBackwardsWhileTheCounterAdvances) {
    ASSERT_EQ(SDL_Init(0), 0);
    DemoClock clock;
    clock.start();
    SceneTime previous = 0;
    for (int i = 0; i < 20000; ++i) {
        SceneTime now = sceneTimeFromMs(clock.elapsedMs());
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(ProgramDirectory, KeepsTheTrailingSeparator) {
    EXPECT_EQ(directoryOf("/opt/demos/x/velmorra"), "/opt/demos/x/");
    EXPECT_EQ(directoryOf("/velmorra"), "/");
    EXPECT_EQ(directoryOf("velmorra"), "./");
    // On Linux '\' is part of a name, never a separator.
    EXPECT_EQ(directoryOf("/tmp/back\\slash/velm\\orra"), "/tmp/back\\slash/");
}

TEST(ProgramDirectory, DataPathJoinsAndMapsBackslashes) {
    const std::string saved = programDirectory();
    setProgramDirectory("/opt/demo");
    EXPECT_EQ(dataPath("data/loading.jpg"), "/opt/demo/data/loading.jpg");
    EXPECT_EQ(dataPath("data\\twist_1.jpg"), "/opt/demo/data/twist_1.jpg");
    // Only the media name is mapped; the directory is taken as it is.
    setProgramDirectory("/tmp/back\\slash");
    EXPECT_EQ(dataPath("data\\twist_1.jpg"), "/tmp/back\\slash/data/twist_1.jpg");
    // No fixed-size buffer: a deep directory survives whole.
    std::string deep = "/";
    for (int i = 0; i < 80; ++i) {
        deep += "directory" + std::to_string(i) + "/";
    }
    setProgramDirectory(deep);
    EXPECT_EQ(dataPath("data/music.mp3"), deep + "data/music.mp3");
    setProgramDirectory(saved);
}

TEST(ProgramDirectory, IsFoundFromTheRunningExecutable) {
    const std::string saved = programDirectory();
    ASSERT_TRUE(locateProgramDirectory());
    std::string directory = programDirectory();
    EXPECT_EQ(directory.front(), '/');
    EXPECT_EQ(directory.back(), '/');
    EXPECT_EQ(directory, std::string(VELMORRA_BUILD_DIR) + "/tests/");
    setProgramDirectory(saved);
}

TEST(Keys, EscapeIs27AndLettersAreUpperCase) {
    EXPECT_EQ(virtualKeyCode(SDLK_ESCAPE), 27);
    EXPECT_EQ(virtualKeyCode(SDLK_a), 'A');
    EXPECT_EQ(virtualKeyCode(SDLK_SPACE), ' ');
}

// The letters' sizes fill the frame (1280x1024 included); --size keeps to
// the largest centred 4:3 area, bars left and right or above and below.
TEST(Projection, FrameAreaIsTheCentredFourByThreeAreaOnlyWithSize) {
    const struct {
        RenderConfig config;
        FrameArea area;
    } cases[] = {
        {{640, 480, 1, false}, {0, 0, 640, 480}},
        {{1280, 1024, 1, false}, {0, 0, 1280, 1024}},
        {{2560, 1080, 1, false}, {0, 0, 2560, 1080}},
        {{2560, 1080, 1, true}, {560, 0, 1440, 1080}},
        {{1920, 1080, 1, true}, {240, 0, 1440, 1080}},
        {{1280, 1024, 1, true}, {0, 32, 1280, 960}},
        {{120, 160, 1, true}, {0, 35, 120, 90}},
        {{333, 251, 1, true}, {0, 1, 333, 249}},
        {{1025, 768, 1, true}, {0, 0, 1024, 768}},
    };
    for (const auto& c : cases) {
        const FrameArea a = frameArea(c.config);
        EXPECT_EQ(std::vector({a.x, a.y, a.width, a.height}),
                  std::vector({c.area.x, c.area.y, c.area.width, c.area.height}))
            << c.config.width << "x" << c.config.height << (c.config.keepFourByThree ? " 4:3" : "");
    }
    EXPECT_EQ(projectionNear, 0.10000000149011612);
}

}  // namespace
