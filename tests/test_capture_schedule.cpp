#include <gtest/gtest.h>

#include "shell/capture_schedule.h"
#include "shell/frame_writer.h"

namespace {

std::vector<CaptureSchedule::Frame> drawUntilFinished(const CaptureOptions& options,
                                                      size_t limit = 100000) {
    CaptureSchedule schedule(options);
    std::vector<CaptureSchedule::Frame> frames;
    while (frames.size() < limit) {
        frames.push_back(schedule.next());
        if (schedule.finished() || frames.back().time > demoEndTime) {
            break;
        }
    }
    return frames;
}

TEST(CaptureSchedule, FixedStepIsFloorOfKTimes1000OverFps) {
    CaptureOptions options;
    options.fps = 60;
    std::vector<CaptureSchedule::Frame> frames = drawUntilFinished(options);
    ASSERT_EQ(frames[0].time, 0u);
    EXPECT_EQ(frames[1].time, 16u);
    EXPECT_EQ(frames[2].time, 33u);
    EXPECT_EQ(frames[3].time, 50u);
    // The whole demo: the last frame is the first one past 131000.
    EXPECT_EQ(frames.back().time, 131016u);
    EXPECT_EQ(frames.size(), 7862u);
    for (const auto& frame : frames) {
        ASSERT_TRUE(frame.write);
    }
}

TEST(CaptureSchedule, RangeDrawsEarlierFramesWithoutWritingThemAndStopsAfterTo) {
    CaptureOptions options;
    options.fps = 10;
    options.from = 250;
    options.to = 600;
    std::vector<CaptureSchedule::Frame> frames = drawUntilFinished(options);
    std::vector<SceneTime> written;
    for (const auto& frame : frames) {
        if (frame.write) {
            written.push_back(frame.time);
        }
    }
    EXPECT_EQ(frames.front().time, 0u);
    EXPECT_EQ(written, (std::vector<SceneTime>{300, 400, 500, 600}));
    EXPECT_EQ(frames.back().time, 600u);
}

TEST(CaptureSchedule, ShotsOffTheGridAreExtraFramesAtTheirExactTime) {
    CaptureOptions options;
    options.fps = 10;
    options.shots = {0, 150, 200, 9792};
    CaptureSchedule schedule(options);
    std::vector<SceneTime> written;
    std::vector<SceneTime> drawn;
    while (!schedule.finished()) {
        CaptureSchedule::Frame frame = schedule.next();
        drawn.push_back(frame.time);
        if (frame.write) {
            written.push_back(frame.time);
        }
    }
    EXPECT_EQ(written, options.shots);
    // 150 lies between 100 and 200 and is drawn between them; 200 is on the grid.
    EXPECT_EQ(std::vector<SceneTime>(drawn.begin(), drawn.begin() + 5),
              (std::vector<SceneTime>{0, 100, 150, 200, 300}));
    EXPECT_EQ(drawn.back(), 9792u);
    EXPECT_EQ(drawn.size(), 98u + 1u + 1u);  // 0..9700 on the grid, 150, 9792
}

TEST(FrameWriter, NamesAndKinds) {
    EXPECT_EQ(frameFileName(61500), "061500.png");
    EXPECT_EQ(frameFileName(0), "000000.png");
    EXPECT_TRUE(isVideoOutput("demo.mp4"));
    EXPECT_TRUE(isVideoOutput("x/demo.webm"));
    EXPECT_TRUE(isVideoOutput("demo.mkv"));
    EXPECT_FALSE(isVideoOutput("frames"));
    EXPECT_FALSE(isVideoOutput("frames.mp4/"));
}

}  // namespace
