#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/captured_frame.h"
#include "support/process.h"
#include "support/scene_pictures.h"
#include "support/tone.h"

namespace {

// The real binary in a directory of its own, with solid-colour pictures and a
// short generated tone as its music.
struct Installation {
    std::string directory;
    std::string binary;
};

Installation install(const ScenePictureOptions& pictures) {
    Installation result;
    result.directory = makeTemporaryDirectory("velmorra-startup");
    result.binary = installBinaryCopy(result.directory);
    writeScenePictures(result.directory, pictures);
    return result;
}

std::vector<std::string> recordLines(const std::string& err, const std::string& caption) {
    std::vector<std::string> lines;
    std::istringstream in(err);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(caption + ": ", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

// Every record of the two captions the start-up can write, in order.
std::vector<std::string> startupRecords(const std::string& err) {
    std::vector<std::string> lines;
    std::istringstream in(err);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Error loading: ", 0) == 0 || line.rfind("FMOD: ", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::string> everyPicture() {
    std::vector<std::string> names = effectPictures();
    names.insert(names.end(), overlayColourPictures().begin(), overlayColourPictures().end());
    for (const std::string& alpha : overlayAlphaPictures()) {
        if (!alpha.empty()) {
            names.push_back(alpha);
        }
    }
    names.push_back("data/loading.jpg");
    return names;
}

TEST(StartupBinary, CaptureShowsTheScenesAndGoesOnAfterAMissingPicture) {
    ScenePictureOptions pictures;
    pictures.missing = {"data/kost2.jpg"};
    Installation demo = install(pictures);
    ASSERT_TRUE(writeToneMp3(demo.directory + "/data/music.mp3", 1.0, 440.0));
    const std::string shots = demo.directory + "/shots";
    ProcessResult run =
        runProgram({demo.binary, "--capture=" + shots, "--shots=0,3899,3901,9239,9792,47537,47538"},
                   headlessEnvironment());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(startupRecords(run.err), std::vector<std::string>{"Error loading: data/kost2.jpg"});

    const Rgb black = {0, 0, 0};
    const Rgb pause = sceneColour("data/pause2.jpg");
    const struct {
        const char* file;
        int x;
        int y;  // from the bottom
        Rgb expected;
    } cases[] = {
        {"000000.png", 320, 240, black},
        {"003899.png", 320, 240, sceneColour("data/code1.jpg")},
        {"003901.png", 320, 240, sceneColour("data/code2.jpg")},
        {"009239.png", 320, 100, pause},
        {"009239.png", 320, 400, pause},
        {"009792.png", 320, 100, black},
        {"009792.png", 320, 400, pause},
        {"047537.png", 320, 240, sceneColour("data/soya1.jpg")},
        {"047538.png", 320, 240, sceneColour("data/soya3.jpg")},
    };
    for (const auto& c : cases) {
        CapturedFrame picture;
        ASSERT_TRUE(readCapturedFrame(shots + "/" + c.file, picture)) << c.file;
        ASSERT_EQ(picture.width, 640);
        ASSERT_EQ(picture.height, 480);
        std::vector<uint8_t> pixel = picture.at(c.x, c.y);
        EXPECT_TRUE(pixelNear(pixel, c.expected))
            << c.file << " at (" << c.x << ", " << c.y << "): " << describePixel(pixel);
    }
}

TEST(StartupBinary, MusicIsOpenedAfterTheLoadingPictureAndStartedAfterEveryPicture) {
    // With no picture at all, the records show how far start-up got and
    // that every picture is loaded once, in order: the loading picture comes
    // first, a missing music file stops everything before the effects, and
    // music that cannot play is found only after the effects' pictures and
    // the whole catalogue have loaded.
    ScenePictureOptions noPictures;
    const std::vector<std::string> all = everyPicture();
    noPictures.missing.insert(all.begin(), all.end());

    std::vector<std::string> notMp3 = {"Error loading: data/loading.jpg"};
    for (const std::string& name : effectPictures()) {
        notMp3.push_back("Error loading: " + name);
    }
    for (const std::string& name : overlayColourPictures()) {
        notMp3.push_back("Error loading: " + name);
    }
    notMp3.push_back("FMOD: Unknown file format");

    const struct {
        const char* what;
        const char* music;  // nullptr: no music file
        std::vector<std::string> records;
    } cases[] = {
        {"missing music",
         nullptr,
         {"Error loading: data/loading.jpg", "FMOD: File not found data/music.mp3"}},
        {"music that is not MP3", "this is not an MP3 file, just some text\n", notMp3},
    };
    for (const auto& c : cases) {
        Installation demo = install(noPictures);
        if (c.music != nullptr) {
            std::ofstream(demo.directory + "/data/music.mp3") << c.music;
        }
        ProcessResult run = runProgram({demo.binary}, headlessEnvironment(), 60);
        EXPECT_EQ(run.exitCode, 1) << c.what << "\n" << run.err;
        EXPECT_EQ(startupRecords(run.err), c.records) << c.what << "\n" << run.err;
        EXPECT_EQ(recordLines(run.err, "velmorra").size(), 0u) << c.what << "\n" << run.err;
    }
}

}  // namespace
