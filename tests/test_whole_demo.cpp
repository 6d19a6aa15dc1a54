#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/process.h"

namespace {

// The number of video frames in a file, counted by decoding them.
int decodedFrames(const std::string& video) {
    std::string command =
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=nb_read_frames -of csv=p=0 '" +
        video + "'";
    FILE* probe = popen(command.c_str(), "r");
    if (probe == nullptr) {
        return -1;
    }
    int frames = -1;
    if (std::fscanf(probe, "%d", &frames) != 1) {
        frames = -1;
    }
    pclose(probe);
    return frames;
}

// The whole demo with every effect and the generated media, from the first
// frame to the first one drawn above 131000 ms: 0, 16, 33, ... 131016 at
// 60 frames per second, 7862 frames.
TEST(WholeDemo, CaptureRunsFromTheFirstFrameToTheFirstAbove131000) {
    const std::string video = makeTemporaryDirectory("velmorra-whole") + "/demo.mp4";
    ProcessResult run = runProgram({VELMORRA_BINARY, "--capture=" + video, "--size=160x120"},
                                   headlessEnvironment(), 300);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("Error"), std::string::npos) << run.err;
    EXPECT_EQ(decodedFrames(video), 7862);
}

}  // namespace
