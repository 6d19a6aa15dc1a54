#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/jpeg_encode.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

// The real media set with one file spoiled, in play and in capture: each run
// ends promptly with the sound failure or the picture's load error. A blocked
// open or a gigabyte read would show as a timeout.
TEST(SpoiledMediaBinary, ASpoiledFileIsRefusedWithoutWaitingOrReadingItWhole) {
    // A WAV header and a second of samples: the mixer's MP3 decoder would hunt
    // through it and play silence.
    std::vector<uint8_t> wave = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                                 'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                                 1,   0,   0x44, 0xac, 0,   0,   0x88, 0x58, 1,    0,   2,
                                 0,   16,  0,    'd',  'a', 't', 'a',  0x88, 0x58, 1,   0};
    wave.resize(wave.size() + 88200, 0x11);
    enum class Spoil { Wave, Fifo, Huge };
    const std::string capture = "--capture=frames";
    const char* const soundFailure = "FMOD: Unknown file format\n";
    const char* const pictureFailure = "Error loading: data\\spike_texture.jpg\n";
    const struct {
        const char* file;
        Spoil spoil;
        std::string mode;
        int exitCode;
        const char* message;
    } cases[] = {
        {"data/music.mp3", Spoil::Wave, "w", 1, soundFailure},
        {"data/music.mp3", Spoil::Wave, capture, 1, soundFailure},
        {"data/music.mp3", Spoil::Fifo, capture, 1, soundFailure},
        {"data/spike_texture.jpg", Spoil::Fifo, capture, 0, pictureFailure},
        // A whole JPEG and a gigabyte of zeros after it would decode: it is
        // refused for its length alone.
        {"data/spike_texture.jpg", Spoil::Huge, capture, 0, pictureFailure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode + " " + c.file + " spoiled " + std::to_string(int(c.spoil)));
        const std::string directory = makeTemporaryDirectory("spoiled");
        const std::string binary = installBinaryCopy(directory);
        fs::copy(std::string(VELMORRA_BUILD_DIR) + "/data", directory + "/data",
                 fs::copy_options::overwrite_existing | fs::copy_options::recursive);
        const std::string path = directory + "/" + c.file;
        if (c.spoil == Spoil::Wave) {
            ASSERT_TRUE(writeFile(path, wave));
        } else if (c.spoil == Spoil::Fifo) {
            ASSERT_TRUE(fs::remove(path) && mkfifo(path.c_str(), 0644) == 0);
        } else {
            ASSERT_EQ(truncate(path.c_str(), off_t{1} << 30), 0);
        }
        std::vector<std::string> arguments = {binary, c.mode};
        if (c.mode == capture) {
            arguments = {binary, "--capture=" + directory + "/frames", "--shots=0"};
        }
        ProcessResult result = runProgram(arguments, headlessEnvironment(), 30);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        fs::remove_all(directory);
    }
}

}  // namespace
