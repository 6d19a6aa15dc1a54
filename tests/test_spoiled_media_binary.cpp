#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/jpeg_encode.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

// A short 16-bit mono WAV: a file the mixer's MP3 decoder would hunt through
// and play as silence.
std::vector<uint8_t> waveFile() {
    std::vector<uint8_t> bytes = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                                  'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                                  1,   0,   0x44, 0xac, 0,   0,   0x88, 0x58, 1,    0,   2,
                                  0,   16,  0,    'd',  'a', 't', 'a',  0x88, 0x58, 1,   0};
    bytes.resize(bytes.size() + 88200, 0x11);
    return bytes;
}

// The real media set with one file spoiled, in play and in capture: each
// ends promptly with the sound failure or the picture's load error.
TEST(SpoiledMediaBinary, ASpoiledFileIsRefusedWithoutWaitingOrReadingItWhole) {
    const std::string music = "data/music.mp3";
    const std::string picture = "data/spike_texture.jpg";
    enum class Spoil { Wave, Fifo, Huge };
    const struct {
        const char* name;
        std::string file;
        Spoil spoil;
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {"a WAV as the music, playing",
         music,
         Spoil::Wave,
         {"w"},
         1,
         "FMOD: Unknown file format\n"},
        {"a WAV as the music, capturing",
         music,
         Spoil::Wave,
         {"--capture=out", "--shots=0"},
         1,
         "FMOD: Unknown file format\n"},
        {"a FIFO as the music",
         music,
         Spoil::Fifo,
         {"--capture=out", "--shots=0"},
         1,
         "FMOD: Unknown file format\n"},
        {"a FIFO as a picture",
         picture,
         Spoil::Fifo,
         {"--capture=out", "--shots=0"},
         0,
         "Error loading: data\\spike_texture.jpg\n"},
        // A whole JPEG followed by a gigabyte of zeros would decode: it is
        // refused for its length alone, before it is read.
        {"a picture of 1 GB",
         picture,
         Spoil::Huge,
         {"--capture=out", "--shots=0"},
         0,
         "Error loading: data\\spike_texture.jpg\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string directory = makeTemporaryDirectory("spoiled");
        const std::string binary = installBinaryCopy(directory);
        fs::copy(std::string(VELMORRA_BUILD_DIR) + "/data", directory + "/data",
                 fs::copy_options::overwrite_existing | fs::copy_options::recursive);
        const std::string path = directory + "/" + c.file;
        if (c.spoil == Spoil::Wave) {
            ASSERT_TRUE(writeFile(path, waveFile()));
        } else if (c.spoil == Spoil::Fifo) {
            fs::remove(path);
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        } else {
            ASSERT_EQ(truncate(path.c_str(), off_t{1} << 30), 0);
        }
        std::vector<std::string> arguments = {binary};
        for (const std::string& argument : c.arguments) {
            arguments.push_back(argument == "--capture=out" ? "--capture=" + directory + "/out"
                                                            : argument);
        }
        // A blocked open or a gigabyte read shows as a timeout.
        ProcessResult result = runProgram(arguments, headlessEnvironment(), 30);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        fs::remove_all(directory);
    }
}

}  // namespace
