#include "shell/frame_lead.h"

#include <algorithm>

double FrameLead::seenAtMs(double nowMs) {
    if (lastReadMs_ >= 0.0) {
        frameMs_[nextFrame_] = nowMs - lastReadMs_;
        nextFrame_ = (nextFrame_ + 1) % frameCount;
        framesHeld_ = std::min(framesHeld_ + 1, frameCount);
    }
    lastReadMs_ = nowMs;
    double frameMs = 0.0;
    if (framesHeld_ > 0) {
        std::array<double, frameCount> sorted = frameMs_;
        std::nth_element(sorted.begin(), sorted.begin() + framesHeld_ / 2,
                         sorted.begin() + framesHeld_);
        frameMs = sorted[framesHeld_ / 2];
    }
    seenAtMs_ = std::max(seenAtMs_, nowMs + framesAhead * frameMs);
    return seenAtMs_;
}
