#include "shell/music_clock.h"

#include <algorithm>

MusicClock::MusicClock(double deviceLatencyMs, double offsetMs)
    : deviceLatencyMs_(deviceLatencyMs), offsetMs_(offsetMs) {}

void MusicClock::followCounter(const char* why, double nowMs) {
    if (source_ == ClockSource::Counter) {
        return;
    }
    source_ = ClockSource::Counter;
    reason_ = why;
    switchedAtMs_ = nowMs;
}

void MusicClock::observe(const DeliveredSound& sound) {
    const double epoch = sound.stampMs - sound.beforeMs;
    if (epochsHeld_ > 0 && epoch > epochMs_ + deviceLatencyMs_) {
        // Later than the device could have held out: it ran dry, and all the
        // sound after this chunk is heard that much later.
        ++stalls_;
        stalledMs_ += epoch - epochMs_;
        epochsHeld_ = 0;
    }
    epochs_[epochsHeld_ == 0 ? 0 : nextEpoch_] = epoch;
    nextEpoch_ = epochsHeld_ == 0 ? 1 : (nextEpoch_ + 1) % epochCount;
    epochsHeld_ = std::min(epochsHeld_ + 1, epochCount);
    epochMs_ = *std::min_element(epochs_.begin(), epochs_.begin() + epochsHeld_);
}

double MusicClock::read(const DeliveredSound& sound, double nowMs) {
    if (!started_) {
        started_ = true;
        startMs_ = nowMs;
    }
    if (source_ == ClockSource::Music && sound.chunks != seenChunks_) {
        observe(sound);
        seenChunks_ = sound.chunks;
    }
    if (source_ == ClockSource::Music) {
        const double quietSince = sound.chunks == 0 ? startMs_ : sound.stampMs;
        if (sound.musicEnded) {
            followCounter("the music ended", nowMs);
        } else if (nowMs - quietSince > stopLimitMs) {
            followCounter(sound.chunks == 0 ? "no sound came" : "the sound stopped", nowMs);
        } else if (sound.chunks > 0 &&
                   sound.beforeMs - (sound.stampMs - sound.firstStampMs) > aheadLimitMs) {
            followCounter("the sound is not played in real time", nowMs);
        }
    }
    if (source_ == ClockSource::Counter) {
        return counterTime(nowMs);
    }
    if (sound.chunks == 0) {
        return lastMs_;
    }
    const double heard = nowMs - epochMs_ - allowanceMs();
    // The pictures may run ahead of the delivered sound only by what the user
    // asked for with a negative offset.
    const double deliveredEnd = sound.beforeMs + sound.chunkMs + std::max(0.0, -offsetMs_);
    lastMs_ = std::max(lastMs_, std::min(heard, deliveredEnd));
    return lastMs_;
}
