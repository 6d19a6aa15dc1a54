#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "sequence/timeline.h"
#include "support/captured_frame.h"
#include "support/process.h"
#include "support/scene_pictures.h"
#include "support/tone.h"

namespace fs = std::filesystem;

namespace {

// The frame count of the summary's first line and the frame count of each
// scene line, keyed by scene name.
struct StatsFigures {
    int frames = -1;
    std::map<std::string, int> sceneFrames;
};

StatsFigures readStats(const std::string& err) {
    StatsFigures figures;
    std::smatch match;
    if (std::regex_search(err, match, std::regex(R"(velmorra: stats: (\d+) frames drawn in )"))) {
        figures.frames = std::stoi(match[1]);
    }
    const std::regex sceneLine(R"(\n  (\w+Scene|\(no scene\))\s+(?:\d+ < t < \d+\s+)?(\d+))");
    for (auto it = std::sregex_iterator(err.begin(), err.end(), sceneLine);
         it != std::sregex_iterator(); ++it) {
        figures.sceneFrames[(*it)[1]] = std::stoi((*it)[2]);
    }
    return figures;
}

TEST(ScreensBinary, StatsCountEveryFrameACaptureDrawsAndTheScenesThatRanInIt) {
    const std::string directory = makeTemporaryDirectory("stats");
    const std::string frames = directory + "/frames";
    // 20 frames per second up to 4000 ms: t = 0, 50, ..., 4000, every one written.
    ProcessResult result = runProgram({VELMORRA_BINARY, "--capture=" + frames, "--size=64x48",
                                       "--fps=20", "--to=4000", "--stats"},
                                      headlessEnvironment());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    int written = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(frames)) {
        ++written;
    }
    EXPECT_EQ(written, 81);

    StatsFigures stats = readStats(result.err);
    EXPECT_EQ(stats.frames, written) << result.err;
    // hearingScene holds 50..3550, creditsScene 3700..4000; 0, 3600 and 3650
    // lie in no window.
    EXPECT_EQ(stats.sceneFrames["hearingScene"], 71) << result.err;
    EXPECT_EQ(stats.sceneFrames["creditsScene"], 7) << result.err;
    EXPECT_EQ(stats.sceneFrames["spikeScene"], 0) << result.err;
    EXPECT_EQ(stats.sceneFrames["(no scene)"], 3) << result.err;

    fs::remove_all(directory);
}

TEST(ScreensBinary, AnySizeShowsTheFullScreenPictureCornerToCorner) {
    const std::string directory = makeTemporaryDirectory("sizes");
    const std::string binary = installBinaryCopy(directory);
    writeScenePictures(directory);
    ASSERT_TRUE(writeToneMp3(directory + "/data/music.mp3", 1.0, 440.0));
    const Rgb hearing = sceneColour("data/hearing1.jpg");  // hearingScene at an even time

    // A panel's own size, an odd size, and one taller than wide (whose integer
    // aspect would be 0, a projection that shows nothing).
    for (const std::string size : {"1920x1080", "333x251", "120x160"}) {
        const std::string shots = directory + "/" + size;
        ProcessResult result =
            runProgram({binary, "--capture=" + shots, "--size=" + size, "--shots=2000"},
                       headlessEnvironment());
        ASSERT_EQ(result.exitCode, 0) << size << ": " << result.err;
        CapturedFrame frame;
        ASSERT_TRUE(readCapturedFrame(shots + "/002000.png", frame)) << size;
        EXPECT_EQ(std::to_string(frame.width) + "x" + std::to_string(frame.height), size);
        // The picture plane reaches just short of the outermost rows, so the
        // probes stay 2 % inside the edges.
        const int x0 = frame.width / 50;
        const int y0 = frame.height / 50;
        const int x1 = frame.width - 1 - x0;
        const int y1 = frame.height - 1 - y0;
        for (auto [x, y] : {std::pair{x0, y0},
                            {x1, y0},
                            {x0, y1},
                            {x1, y1},
                            {frame.width / 2, frame.height / 2}}) {
            std::vector<uint8_t> pixel = frame.at(x, y);
            EXPECT_TRUE(pixelNear(pixel, hearing))
                << size << " at " << x << "," << y << ": " << describePixel(pixel);
        }
    }
    fs::remove_all(directory);
}

TEST(ScreensBinary, ContactSheetTilesOneLabelledFrameEveryTwoSecondsAndOnePerScene) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    std::set<SceneTime> times;
    for (SceneTime t = 0; t <= 130000; t += 2000) {
        times.insert(t);
    }
    for (const TimelineRow& row : DemoTimeline) {
        times.insert((row.lower + row.upper) / 2);
    }
    const int tiles = static_cast<int>(times.size());

    const std::string directory = makeTemporaryDirectory("contact");
    const std::string sheet = directory + "/sheet.png";
    ProcessResult result =
        runProgram({"bash", VELMORRA_SOURCE_DIR "/scripts/contact-sheet.sh", sheet},
                   withVariable(headlessEnvironment(), "VELMORRA", VELMORRA_BINARY));
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    CapturedFrame frame;
    ASSERT_TRUE(readCapturedFrame(sheet, frame));
    // Ten 320 x 240 frames to a row, each over a 24-pixel band for its time.
    const int rows = (tiles + 9) / 10;
    EXPECT_EQ(frame.width, 3200);
    EXPECT_EQ(frame.height, rows * 264);

    // A tile holds a frame when its band carries the white text of a time.
    int labelled = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < 10; ++column) {
            bool text = false;
            for (int y = row * 264 + 240; y < row * 264 + 264 && !text; ++y) {
                for (int x = column * 320; x < column * 320 + 320 && !text; ++x) {
                    std::vector<uint8_t> pixel = frame.at(x, frame.height - 1 - y);
                    text = pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200;
                }
            }
            labelled += text ? 1 : 0;
        }
    }
    EXPECT_EQ(labelled, tiles);
    fs::remove_all(directory);
}

}  // namespace
