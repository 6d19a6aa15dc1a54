#pragma once

// Stereo sample buffers and the measurements made on them.

#include <cstddef>
#include <vector>

struct Stereo {
    int rate = 44100;
    std::vector<float> left, right;
    size_t frames() const { return left.size(); }
};

// Integrated loudness in LUFS (ITU-R BS.1770: K-weighting, 400 ms blocks with
// 75% overlap, absolute gate at -70 LUFS and relative gate 10 LU below).
// Returns -70 or less for silence or a signal shorter than one block.
double integratedLoudness(const Stereo& audio);

// Largest absolute sample value of either channel.
float samplePeak(const Stereo& audio);

double toDecibels(double amplitude);
double fromDecibels(double decibels);

// Look-ahead peak limiter: scales the signal by a smooth gain so that no
// sample exceeds ceiling (linear). The gain reacts lookahead seconds before a
// peak and recovers over release seconds.
void limitPeaks(Stereo& audio, float ceiling, double lookahead = 0.002, double release = 0.08);
