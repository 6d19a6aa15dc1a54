#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/jpeg_encode.h"
#include "support/process.h"
#include "support/tone.h"

namespace fs = std::filesystem;

namespace {

// A driver name SDL does not know: opening audio fails on every machine.
constexpr const char* missingAudioDriver = "velmorra-no-such-driver";

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

enum class Music { Absent, NotMp3, Sine };

void installMusic(const std::string& directory, Music music) {
    const std::string path = directory + "/data/music.mp3";
    if (music == Music::NotMp3) {
        const std::string text = "ID3? no, just words\n";
        writeFile(path, std::vector<unsigned char>(text.begin(), text.end()));
    } else if (music == Music::Sine) {
        writeToneMp3(path, 4.0, 440.0);
    }
}

TEST(SoundBinary, SoundFailuresShowOneFmodRecordAndExitWithOne) {
    const struct {
        const char* name;
        Music music;
        const char* audioDriver;
        const char* record;
    } cases[] = {
        {"missing music", Music::Absent, "dummy", "FMOD: File not found data/music.mp3\n"},
        {"music that is no mp3", Music::NotMp3, "dummy", "FMOD: Unknown file format\n"},
        // The device is checked before the file is looked for.
        {"no audio device", Music::Absent, missingAudioDriver,
         "FMOD: Error initializing output device.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string directory = makeTemporaryDirectory("sound-binary");
        const std::string binary = installBinaryCopy(directory);
        installMusic(directory, c.music);
        ProcessResult result =
            runProgram({binary, "w"},
                       withVariable(headlessEnvironment(), "SDL_AUDIODRIVER", c.audioDriver), 60);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(occurrences(result.err, "FMOD: "), 1u) << result.err;
        // The failure ends start-up on the spot: nothing is reported after it.
        EXPECT_TRUE(endsWith(result.err, c.record)) << result.err;
        EXPECT_EQ(result.err.find(directory), std::string::npos) << "full path shown";
        fs::remove_all(directory);
    }
}

TEST(SoundBinary, CaptureNeedsNoSoundCard) {
    const std::string directory = makeTemporaryDirectory("sound-capture");
    const std::string binary = installBinaryCopy(directory);
    installMusic(directory, Music::Sine);
    const std::string frames = directory + "/frames";
    ProcessResult result =
        runProgram({binary, "--capture=" + frames, "--shots=0"},
                   withVariable(headlessEnvironment(), "SDL_AUDIODRIVER", missingAudioDriver), 60);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("FMOD"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::exists(frames + "/000000.png"));
    fs::remove_all(directory);
}

std::vector<int16_t> readSamples(const std::string& path) {
    const std::vector<uint8_t> bytes = readFile(path);
    std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
    if (!samples.empty()) {  // memcpy may not be given the null of an empty vector
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    }
    return samples;
}

// The left channel of 16-bit stereo, from the first loud frame to the last,
// and how many frames differ between left and right.
struct Loudness {
    size_t loudFrames = 0;
    size_t first = 0;
    size_t last = 0;
    size_t unbalancedFrames = 0;
};

Loudness measureLoudness(const std::vector<int16_t>& samples) {
    Loudness result;
    for (size_t frame = 0; frame < samples.size() / 2; ++frame) {
        if (std::abs(samples[2 * frame] - samples[2 * frame + 1]) > 64) {
            ++result.unbalancedFrames;
        }
        if (std::abs(static_cast<int>(samples[2 * frame])) > 4000) {
            if (result.loudFrames++ == 0) {
                result.first = frame;
            }
            result.last = frame;
        }
    }
    return result;
}

// Starts the binary with the disk audio driver writing to output, waits until
// a second of music has been written (the device writes silence while the demo
// loads), then asks it to quit the way a desktop does: SIGTERM ends play
// cleanly with 128 + 15. Returns the exit code, -1 when it had to be killed.
int playThenTerminate(const std::string& binary, const Environment& environment,
                      const std::string& output) {
    pid_t child = fork();
    if (child == 0) {
        int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        applyEnvironment(environment);
        execl(binary.c_str(), binary.c_str(), "w", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) {
        return -1;
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool exited = false;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child) {
            exited = true;
            break;
        }
        if (measureLoudness(readSamples(output)).loudFrames > 44100) {
            kill(child, SIGTERM);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    while (!exited && waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline + std::chrono::seconds(20)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(SoundBinary, PlayWritesTheDecodedMusicToTheAudioDevice) {
    const std::string directory = makeTemporaryDirectory("sound-disk");
    const std::string binary = installBinaryCopy(directory);
    installMusic(directory, Music::Sine);
    const std::string output = directory + "/audio.raw";
    Environment environment = withVariable(headlessEnvironment(), "SDL_AUDIODRIVER", "disk");
    environment.emplace_back("SDL_DISKAUDIOFILE", output);

    EXPECT_EQ(playThenTerminate(binary, environment, output), 128 + SIGTERM);

    // 16-bit stereo at 44100 Hz; the 440 Hz sine between silences.
    const std::vector<int16_t> samples = readSamples(output);
    const Loudness loudness = measureLoudness(samples);
    ASSERT_GT(loudness.loudFrames, 44100u) << "less than a second of music written";
    // The sine is the same on both sides, and the pan leaves it so.
    EXPECT_EQ(loudness.unbalancedFrames, 0u);
    int crossings = 0;
    for (size_t frame = loudness.first + 1; frame <= loudness.last; ++frame) {
        if ((samples[2 * frame - 2] < 0) != (samples[2 * frame] < 0)) {
            ++crossings;
        }
    }
    const double seconds = static_cast<double>(loudness.last - loudness.first) / 44100.0;
    EXPECT_NEAR(crossings / 2.0 / seconds, 440.0, 10.0);
    fs::remove_all(directory);
}

}  // namespace
