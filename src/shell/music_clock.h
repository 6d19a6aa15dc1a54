#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What the mixer has delivered of the music so far, in milliseconds of music
// and of the performance counter (counted from the same zero as the reads).
struct DeliveredSound {
    uint64_t chunks = 0;        // chunks with music in them; 0 before the first
    double beforeMs = 0.0;      // music delivered before the latest chunk
    double chunkMs = 0.0;       // length of the latest chunk
    double stampMs = 0.0;       // counter when the latest chunk was mixed
    double firstStampMs = 0.0;  // counter when the music's first chunk was mixed
    bool musicEnded = false;    // the music played and has stopped
};

enum class ClockSource { Music, Counter };

// The picture clock of real-time play: the position of the music as it is
// heard. A chunk mixed at counter time s, starting at music position b, is
// heard from s + allowance on, so between chunks the position runs on with
// the counter. The time never goes backwards, never passes the end of the
// delivered sound (after an underrun the pictures wait for it), and is 0
// until the first chunk is heard. With no sound to follow (the music ended,
// the sound stopped for good, a device faster than real time) it goes on
// with the counter from where it was, without a jump.
class MusicClock {
public:
    // deviceLatencyMs: how long the audio path holds a mixed chunk before it
    // is heard; offsetMs: the user's correction (positive shows the pictures
    // later).
    MusicClock(double deviceLatencyMs, double offsetMs);

    // The time in milliseconds for counter time nowMs, given what the mixer
    // reports. Call with non-decreasing nowMs.
    double read(const DeliveredSound& sound, double nowMs);

    // Follows the counter from now on, e.g. when the output plays nowhere.
    void followCounter(const char* why, double nowMs);

    ClockSource source() const { return source_; }
    const char* counterReason() const { return reason_; }
    double allowanceMs() const { return deviceLatencyMs_ + offsetMs_; }
    // Chunks that came after the sound before them had run out, and the
    // silence that left.
    unsigned stalls() const { return stalls_; }
    double stalledMs() const { return stalledMs_; }

    // Longer than this without a new chunk, the sound has stopped for good.
    static constexpr double stopLimitMs = 2000.0;
    // Delivered this far ahead of the counter, the device is no real-time one.
    static constexpr double aheadLimitMs = 1000.0;

private:
    void observe(const DeliveredSound& sound);
    double counterTime(double nowMs) const { return lastMs_ + (nowMs - switchedAtMs_); }

    double deviceLatencyMs_;
    double offsetMs_;
    ClockSource source_ = ClockSource::Music;
    const char* reason_ = "";
    double lastMs_ = 0.0;
    double switchedAtMs_ = 0.0;
    bool started_ = false;
    double startMs_ = 0.0;
    uint64_t seenChunks_ = 0;
    // The counter time at which music position 0 was mixed, as each recent
    // chunk tells it. A chunk is heard after what the device still holds when
    // it is mixed, at most the whole buffer the allowance counts (less when
    // the audio thread woke late or the device had room left), so no chunk
    // tells an epoch earlier than the true one and the earliest is nearest to
    // it. Only recent ones count, so that a drifting sound card is followed.
    static constexpr size_t epochCount = 15;
    std::array<double, epochCount> epochs_{};
    size_t epochsHeld_ = 0;
    size_t nextEpoch_ = 0;
    double epochMs_ = 0.0;
    unsigned stalls_ = 0;
    double stalledMs_ = 0.0;
};
