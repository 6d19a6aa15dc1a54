#pragma once

#include <array>
#include <cstddef>

// When the picture drawn after a clock read is seen. It appears when it is
// finished, about when the next read comes, and stays until the one after,
// so it should show the music as heard halfway between: a frame time and a
// half after the read. The frame time is the median of the last few, so that
// one slow frame does not throw the next one ahead.
class FrameLead {
public:
    // The counter time the picture drawn after a read at nowMs stands for;
    // never less than the one before. Call with non-decreasing nowMs.
    double seenAtMs(double nowMs);

    static constexpr double framesAhead = 1.5;

private:
    static constexpr size_t frameCount = 9;
    std::array<double, frameCount> frameMs_{};
    size_t framesHeld_ = 0;
    size_t nextFrame_ = 0;
    double lastReadMs_ = -1.0;
    double seenAtMs_ = 0.0;
};
