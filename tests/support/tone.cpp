#include "support/tone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "audio.h"
#include "mp3.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

bool writeToneMp3(const std::string& path, double seconds, double frequency) {
    Stereo tone;
    const size_t frames = static_cast<size_t>(seconds * tone.rate);
    tone.left.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        tone.left[i] = static_cast<float>(0.366 * std::sin(2.0 * M_PI * frequency * i / tone.rate));
    }
    tone.right = tone.left;
    std::string error;
    const bool written = encodeMp3(tone, 128, path, error);
    EXPECT_TRUE(written) << error;
    return written;
}

std::vector<uint8_t> toneMp3(double seconds, double frequency) {
    const std::string directory = makeTemporaryDirectory("tone");
    const std::string path = directory + "/tone.mp3";
    std::vector<uint8_t> bytes;
    if (writeToneMp3(path, seconds, frequency)) {
        bytes = readFile(path);
    }
    std::filesystem::remove_all(directory);
    return bytes;
}
