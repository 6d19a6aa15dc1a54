#include <SDL.h>

#include <string>
#include <vector>

#include "platform/program_directory.h"
#include "platform/window.h"
#include "presentation/overlay_catalogue.h"
#include "shell/startup.h"
#include "support/gl_context.h"
#include "support/process.h"
#include "support/scene_pictures.h"
#include "support/tone.h"

namespace {

class StartDemo : public HeadlessGlTest {};

TEST_F(StartDemo, AnEscapeDuringLoadingIsKeptAndEverythingStillLoads) {
    resetGlState();
    const std::string directory = makeTemporaryDirectory("velmorra-startdemo");
    ScenePictureOptions options;
    options.missing = {"data/loading.jpg"};
    writeScenePictures(directory, options);
    ASSERT_TRUE(writeToneMp3(directory + "/data/music.mp3", 1.0, 330.0));
    setProgramDirectory(directory + "/");

    // The one event the loading screen handles is an Escape key-down: nothing
    // else is pending.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&escape), 1);
    lastKey = 0;

    testing::internal::CaptureStderr();
    startDemo();
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(lastKey, escapeKey);
    // The missing loading picture is reported first, and nothing else fails.
    EXPECT_EQ(errorLoadingRecords(err), std::vector<std::string>{"data/loading.jpg"});
    EXPECT_EQ(err.find("FMOD"), std::string::npos) << err;
    ASSERT_NE(pausePictures[1], nullptr);
    EXPECT_GT(pausePictures[1]->textureName(), 0);
    ASSERT_NE(sphereOverlay, nullptr);
    EXPECT_GT(sphereOverlay->textureName(), 0);
    shutdownDemo();
}

}  // namespace
