#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "support/process.h"
#include "support/tone.h"

namespace fs = std::filesystem;

namespace {

constexpr double framesPerMs = 44.1;
constexpr size_t bytesPerFrame = 4;  // 16-bit stereo

// The index of the first frame of 16-bit stereo louder than a quiet hiss.
size_t firstLoudFrame(const std::string& path, size_t& frames) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    frames = bytes.size() / bytesPerFrame;
    for (size_t frame = 0; frame < frames; ++frame) {
        int16_t left = 0;
        std::memcpy(&left, bytes.data() + frame * bytesPerFrame, sizeof left);
        if (std::abs(left) > 4000) {
            return frame;
        }
    }
    return frames;
}

// Plays with the disk driver, which writes the sound to a file at its own
// pace, until loudMs of music are in the file, then ends the run with SIGTERM.
// Returns what the run wrote on stderr.
std::string playUntil(const std::string& binary, const Environment& environment,
                      const std::string& sound, double loudMs) {
    const std::string errPath = sound + ".err";
    pid_t child = fork();
    if (child == 0) {
        int devNull = open("/dev/null", O_RDWR);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        applyEnvironment(environment);
        execl(binary.c_str(), binary.c_str(), "w", "--stats", static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    bool signalled = false;
    while (waitpid(child, &status, WNOHANG) == 0) {
        size_t frames = 0;
        const size_t first = firstLoudFrame(sound, frames);
        if (!signalled && (frames - first > loudMs * framesPerMs ||
                           std::chrono::steady_clock::now() > deadline)) {
            kill(child, SIGTERM);
            signalled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(errPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The disk driver is told to take twice a buffer's time for each buffer, so
// the music is delivered at half speed: a clock on the counter would run a
// second ahead of it after two seconds; the music clock stays with it.
TEST(LiveClockBinary, ThePictureClockFollowsTheDeliveredSound) {
    const std::string directory = makeTemporaryDirectory("live-clock");
    const std::string binary = installBinaryCopy(directory);
    ASSERT_TRUE(writeToneMp3(directory + "/data/music.mp3", 10.0, 440.0));
    const std::string sound = directory + "/sound.raw";
    Environment environment = withVariable(headlessEnvironment(), "SDL_AUDIODRIVER", "disk");
    environment.emplace_back("SDL_DISKAUDIOFILE", sound);
    environment.emplace_back("SDL_DISKAUDIODELAY", "93");  // 2048 frames take 46.4 ms

    const std::string err = playUntil(binary, environment, sound, 1000.0);

    std::smatch clock;
    ASSERT_TRUE(std::regex_search(err, clock,
                                  std::regex("clock: music; latency allowance ([0-9.]+) ms.*"
                                             "last time read ([0-9]+) ms")))
        << err;
    const double allowanceMs = std::atof(clock[1].str().c_str());
    const double lastMs = std::atof(clock[2].str().c_str());
    EXPECT_NEAR(allowanceMs, 2048 / framesPerMs, 0.1);
    size_t frames = 0;
    const size_t first = firstLoudFrame(sound, frames);
    const double deliveredMs = (frames - first) / framesPerMs;
    ASSERT_GT(deliveredMs, 1000.0);
    // Never past the sound (the tone's first frames are the encoder's quiet
    // lead-in, so the music began a little before the first loud frame)...
    EXPECT_LE(lastMs, deliveredMs + 60.0);
    // ...and behind it by the allowance and what was delivered while the run
    // shut down, not by the second a counter clock would have gained.
    EXPECT_GE(lastMs, deliveredMs - allowanceMs - 400.0);
    fs::remove_all(directory);
}

}  // namespace
