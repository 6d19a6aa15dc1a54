#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One screen-and-sound recording of the rig, read from the files
// live_sync.sh extracts from it. Every time is in milliseconds on the
// recorder's wall clock (ffmpeg -copyts keeps its capture timestamps).
struct Recording {
    std::vector<double> frameMs;     // when each video frame was grabbed
    std::vector<double> changes;     // mean |pixel difference| to the frame before (0..255)
    std::vector<double> brightness;  // mean grey level of each frame
    std::vector<double> onsetMs;     // sound onsets found in the recorded audio
    std::vector<float> envelope;     // the sound's loudness, one value a millisecond
    double soundStartMs = 0.0;       // when the first recorded sample was played
};

// The loudness of 16-bit stereo WAV sound, one value a millisecond
// (mean absolute sample over the last 10 ms); empty when the file is no such WAV.
std::vector<float> loudnessEnvelope(const std::string& wavPath);

// frames: raw 8-bit grey pictures of width x height, one after the other;
// frameTimes: one time in seconds a line; audioPackets: the sound's packet
// times, one a line; onsets: seconds from the first sample, one a line;
// sound: the recorded sound as WAV.
// Returns false with a message in error when a file is missing or short.
bool readRecording(const std::string& frames, int width, int height, const std::string& frameTimes,
                   const std::string& audioPackets, const std::string& onsets,
                   const std::string& sound, Recording& recording, std::string& error);

// Reads numbers, one a line (the first field of comma-separated lines).
std::vector<double> readNumbers(const std::string& path);

// The q-quantile (0..1) of values, interpolated between ranks; values is sorted.
double quantile(std::vector<double> values, double q);
