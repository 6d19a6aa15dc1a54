#include <gtest/gtest.h>

#include "shell/music_clock.h"

namespace {

// One step of a run: optionally a chunk the mixer delivered (music before it,
// its length, when it was mixed) or the music's end, then a read.
struct Step {
    double chunkBefore;  // < 0: no new chunk
    double chunkMs;
    double stampMs;
    bool ended;
    double nowMs;
    double expectMs;
    const char* what;
};

void play(MusicClock& clock, const std::vector<Step>& steps) {
    DeliveredSound sound;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.chunkBefore >= 0.0) {
            const double first = sound.chunks == 0 ? step.stampMs : sound.firstStampMs;
            sound = {sound.chunks + 1, step.chunkBefore, step.chunkMs, step.stampMs, first, false};
        }
        sound.musicEnded = step.ended;
        EXPECT_DOUBLE_EQ(clock.read(sound, step.nowMs), step.expectMs);
    }
}

TEST(MusicClock, FollowsTheDeliveredSoundAndWaitsForItAfterAStall) {
    MusicClock clock(40.0, 0.0);  // 40 ms chunks, a device that holds one
    play(clock, {
                    {-1, 0, 0, false, 5, 0, "nothing delivered yet"},
                    {0, 40, 10, false, 10, 0, "first chunk mixed, not yet heard"},
                    {-1, 0, 0, false, 70, 20, "between chunks: the counter"},
                    {40, 40, 50, false, 95, 45, "second chunk on time"},
                    {80, 40, 95, false, 110, 60, "a late chunk the device rode out"},
                    {-1, 0, 0, false, 200, 120, "the audio thread stalls: end of the sound"},
                    {-1, 0, 0, false, 260, 120, "still waiting for it"},
                    {120, 40, 300, false, 300, 120, "it comes back 170 ms late: no step back"},
                    {-1, 0, 0, false, 350, 130, "and goes on from where the sound is"},
                    {160, 40, 340, true, 360, 130, "the music ends: the counter takes over"},
                    {-1, 0, 0, false, 400, 170, "without a jump"},
                });
    EXPECT_EQ(clock.stalls(), 1u);
    EXPECT_DOUBLE_EQ(clock.stalledMs(), 170.0);
    EXPECT_EQ(clock.source(), ClockSource::Counter);
}

TEST(MusicClock, AChunkMixedLateDoesNotHoldThePicturesBack) {
    MusicClock clock(40.0, 0.0);
    play(clock, {
                    {0, 40, 8, false, 60, 12, "the first chunk mixed 8 ms late"},
                    {40, 40, 42, false, 90, 48, "the next on time: its epoch counts"},
                    {80, 40, 85, false, 125, 83, "late again: the earliest still counts"},
                });
    EXPECT_EQ(clock.stalls(), 0u);
}

TEST(MusicClock, TheOffsetMovesThePicturesAndNoSoundMeansTheCounter) {
    MusicClock later(40.0, 25.0);
    EXPECT_DOUBLE_EQ(later.allowanceMs(), 65.0);
    play(later, {{0, 40, 0, false, 100, 35, "65 ms after the mix"}});

    // A negative offset may show the pictures ahead of the sound, by that much.
    MusicClock earlier(40.0, -100.0);
    play(earlier, {{0, 40, 0, false, 30, 90, "heard at 90"}, {-1, 0, 0, false, 200, 140, "cap"}});

    MusicClock silent(40.0, 0.0);
    play(silent, {{-1, 0, 0, false, 0, 0, "start"},
                  {-1, 0, 0, false, MusicClock::stopLimitMs + 1, 0, "no sound came"},
                  {-1, 0, 0, false, MusicClock::stopLimitMs + 31, 30, "counter from 0"}});
    EXPECT_STREQ(silent.counterReason(), "no sound came");

    MusicClock stopped(40.0, 0.0);
    play(stopped, {{0, 40, 0, false, 60, 20, "playing"},
                   {-1, 0, 0, false, 1000, 40, "waiting at the end of the sound"},
                   {-1, 0, 0, false, 2001, 40, "the device stopped for good"},
                   {-1, 0, 0, false, 2101, 140, "counter from where it was"}});

    MusicClock racing(40.0, 0.0);
    play(racing, {{0, 40, 0, false, 50, 10, "first chunk"},
                  {1200, 40, 100, false, 100, 10, "1.2 s of music in 0.1 s"},
                  {-1, 0, 0, false, 150, 60, "not real time: the counter"}});
    EXPECT_EQ(racing.source(), ClockSource::Counter);

    // Read first when 30 chunks are out (a slow first frame): still real time.
    MusicClock lateStart(40.0, 0.0);
    const DeliveredSound already{30, 1160.0, 40.0, 5.0, -1195.0, false};
    EXPECT_DOUBLE_EQ(lateStart.read(already, 10.0), 1125.0);
    EXPECT_EQ(lateStart.source(), ClockSource::Music);
}

}  // namespace
