#include <gtest/gtest.h>

#include <string>

#include "support/process.h"

namespace {

// The whole demo with every effect and the generated media, from the first
// frame to the first one drawn above 131000 ms: 0, 16, 33, ... 131016 at
// 60 frames per second, 7862 frames.
TEST(WholeDemo, CaptureRunsFromTheFirstFrameToTheFirstAbove131000) {
    const std::string video = makeTemporaryDirectory("velmorra-whole") + "/demo.mp4";
    ProcessResult run = runProgram({VELMORRA_BINARY, "--capture=" + video, "--size=160x120"},
                                   headlessEnvironment(), 300);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("Error"), std::string::npos) << run.err;
    // Counted by decoding every frame.
    ProcessResult probe =
        runProgram({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                    "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", video},
                   {});
    EXPECT_EQ(probe.out, "7862\n");
}

}  // namespace
