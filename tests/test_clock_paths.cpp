#include <SDL.h>
#include <gtest/gtest.h>

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
    EXPECT_EQ(directoryOf("D:\\demos\\x\\demo.exe"), "D:\\demos\\x\\");
}

TEST(ProgramDirectory, DataPathJoinsAndMapsBackslashes) {
    const std::string saved = programDirectory();
    setProgramDirectory("/opt/demo");
    EXPECT_EQ(dataPath("data/loading.jpg"), "/opt/demo/data/loading.jpg");
    EXPECT_EQ(dataPath("data\\twist_1.jpg"), "/opt/demo/data/twist_1.jpg");
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

TEST(Projection, AspectIsTheIntegerQuotient) {
    EXPECT_EQ(projectionAspect({640, 480, 1}), 1.0);
    EXPECT_EQ(projectionAspect({1280, 1024, 1}), 1.0);
    EXPECT_EQ(projectionAspect({1280, 480, 1}), 2.0);
    EXPECT_EQ(projectionAspect({480, 640, 1}), 1.0);  // taller than wide: never 0
    EXPECT_EQ(projectionNear, 0.10000000149011612);
}

}  // namespace
