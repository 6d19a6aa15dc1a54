#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

#include "shell/frame_stats.h"

namespace {

std::vector<double> oneTo(int n) {
    std::vector<double> times(static_cast<size_t>(n));
    std::iota(times.begin(), times.end(), 1.0);
    std::shuffle(times.begin(), times.end(), std::mt19937(7));
    return times;
}

TEST(FrameTimeSummary, MedianPercentileLongestAndRate) {
    struct Case {
        std::vector<double> times;
        double median;
        double p99;
        double longest;
        double framesPerSecond;
    };
    const Case cases[] = {
        {{}, 0, 0, 0, 0},
        {{5}, 5, 5, 5, 200},
        {{4, 1, 3, 2}, 2.5, 4, 4, 400},  // even count: between the middle two
        {oneTo(100), 50.5, 99, 100, 100000.0 / 5050},
        {oneTo(101), 51, 100, 101, 101000.0 / 5151},  // rank ceil(99.99) = 100
        {oneTo(200), 100.5, 198, 200, 200000.0 / 20100},
    };
    for (Case c : cases) {
        const size_t n = c.times.size();
        FrameTimeSummary s = summariseFrameTimes(c.times);
        EXPECT_EQ(s.frames, n);
        EXPECT_DOUBLE_EQ(s.medianMs, c.median) << n;
        EXPECT_DOUBLE_EQ(s.percentile99Ms, c.p99) << n;
        EXPECT_DOUBLE_EQ(s.longestMs, c.longest) << n;
        EXPECT_DOUBLE_EQ(s.framesPerSecond, c.framesPerSecond) << n;
    }
}

TEST(FrameStats, AFrameCountsForEveryWindowThatHoldsItsTime) {
    FrameStats stats;
    stats.record(0, 10);      // before the first window
    stats.record(10300, 20);  // credits and the first twist window overlap here
    stats.record(32000, 30);  // the bound between two windows belongs to neither
    stats.record(46200, 40);  // soya
    stats.record(131027, 50);
    EXPECT_EQ(stats.frames(), 5u);
    EXPECT_DOUBLE_EQ(stats.overall().medianMs, 30);

    std::map<std::string, FrameTimeSummary> byName;
    for (const SceneFrameTimes& scene : stats.perScene()) {
        byName[scene.name] = scene.times;
    }
    ASSERT_EQ(byName.size(), 11u);
    EXPECT_EQ(byName["creditsScene"].frames, 1u);
    EXPECT_DOUBLE_EQ(byName["twistPillarScene"].longestMs, 20);
    EXPECT_EQ(byName["spikeScene"].frames + byName["twistPillarScene"].frames, 1u);
    EXPECT_EQ(byName["soyaScene"].frames, 1u);
    EXPECT_EQ(byName["(no scene)"].frames, 3u);
    EXPECT_DOUBLE_EQ(byName["(no scene)"].medianMs, 30);
}

}  // namespace
