#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "shell/encoder_arguments.h"
#include "shell/pipe_feeder.h"

namespace {

using namespace std::chrono_literals;

std::atomic<int> signalsForTest{0};
int testSignalCount() {
    return signalsForTest.load();
}

// A pipe whose write end does not block, as the video writer sets it up.
struct TestPipe {
    int read = -1;
    int write = -1;
    TestPipe() {
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        read = ends[0];
        write = ends[1];
        fcntl(write, F_SETFL, fcntl(write, F_GETFL) | O_NONBLOCK);
    }
    ~TestPipe() {
        closeRead();
        ::close(write);
    }
    void closeRead() {
        if (read >= 0) {
            ::close(read);
            read = -1;
        }
    }
    std::vector<uint8_t> readAll() {
        std::vector<uint8_t> all;
        uint8_t chunk[65536];
        ssize_t got = 0;
        while ((got = ::read(read, chunk, sizeof chunk)) > 0) {
            all.insert(all.end(), chunk, chunk + got);
        }
        return all;
    }
};

std::vector<uint8_t> frameOf(size_t size, uint8_t seed) {
    std::vector<uint8_t> frame(size);
    for (size_t i = 0; i < size; ++i) {
        frame[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return frame;
}

// Frames bigger than a pipe holds, so that a reader that stops reading is felt.
constexpr size_t bigFrame = 1 << 20;

TEST(PipeFeeder, DeliversWholeFramesAndNoticesEveryWayTheReaderFails) {
    signalsForTest = 0;
    {  // Every frame arrives whole and in order, even to a late reader that is busy.
        TestPipe pipe;
        std::vector<uint8_t> expected;
        std::thread reader;
        {
            PipeFeeder feeder(pipe.write, 200ms, testSignalCount, [] { return true; });
            reader = std::thread([&] {
                std::this_thread::sleep_for(600ms);
                expected = pipe.readAll();
            });
            for (uint8_t n = 0; n < 6; ++n) {
                ASSERT_EQ(feeder.push(frameOf(bigFrame, n)), PipeFeeder::Push::Queued);
            }
            EXPECT_EQ(feeder.close(0), PipeFeeder::Push::Queued);
        }
        ::close(pipe.write);
        pipe.write = -1;
        reader.join();
        std::vector<uint8_t> sent;
        for (uint8_t n = 0; n < 6; ++n) {
            const std::vector<uint8_t> frame = frameOf(bigFrame, n);
            sent.insert(sent.end(), frame.begin(), frame.end());
        }
        EXPECT_TRUE(expected == sent);
    }
    {  // A reader that takes nothing and does nothing is a stall.
        TestPipe pipe;
        PipeFeeder feeder(pipe.write, 200ms, testSignalCount);
        PipeFeeder::Push last = PipeFeeder::Push::Queued;
        for (int n = 0; n < 8 && last == PipeFeeder::Push::Queued; ++n) {
            last = feeder.push(frameOf(bigFrame, 1));
        }
        EXPECT_EQ(last, PipeFeeder::Push::Stalled);
    }
    {  // A reader that is gone is a write error, not a SIGPIPE that ends the tests.
        TestPipe pipe;
        pipe.closeRead();
        PipeFeeder feeder(pipe.write, 5s, testSignalCount);
        feeder.push(frameOf(1000, 2));
        EXPECT_EQ(feeder.close(0), PipeFeeder::Push::Failed);
    }
    {  // With every buffer queued, a signal ends push; at close only a further one.
        TestPipe pipe;
        PipeFeeder feeder(pipe.write, 30s, testSignalCount);
        for (int n = 0; n < 3; ++n) {
            ASSERT_EQ(feeder.push(frameOf(bigFrame, 3)), PipeFeeder::Push::Queued);
        }
        signalsForTest = 1;
        EXPECT_EQ(feeder.push(frameOf(bigFrame, 3)), PipeFeeder::Push::Interrupted);
        std::thread second([] {
            std::this_thread::sleep_for(300ms);
            signalsForTest = 2;
        });
        EXPECT_EQ(feeder.close(1), PipeFeeder::Push::Interrupted);
        second.join();
    }
    signalsForTest = 0;
}

// The value that follows option in arguments, or "" when it is missing.
std::string valueOf(const std::vector<std::string>& arguments, const std::string& option) {
    auto found = std::find(arguments.begin(), arguments.end(), option);
    return found != arguments.end() && found + 1 != arguments.end() ? *(found + 1) : "";
}

TEST(EncoderArguments, FollowTheOutputTypeTheRangeAndTheMusic) {
    CaptureOptions options;
    options.width = 320;
    options.height = 240;
    options.fps = 30;
    options.from = 1500;
    const struct {
        std::string output;
        bool music;
        std::vector<SceneTime> shots;
        std::string videoCodec;
        std::string audioCodec;  // "" when no sound is muxed
        std::string seek;        // "" when the music is not cut
    } cases[] = {
        {"a.mp4", true, {}, "libx264", "aac", "1.500"},
        {"pipe:1.mkv", false, {}, "libx264", "", ""},
        {"b.webm", true, {}, "libvpx-vp9", "libopus", "1.500"},
        {"c.webm", true, {2000, 3000}, "libvpx-vp9", "libopus", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        options.output = c.output;
        options.shots = c.shots;
        const std::vector<std::string> a =
            encoderArguments(options, "dir/.velmorra-capture-1.mkv", "data/music.mp3", c.music);
        EXPECT_EQ(a.front(), "ffmpeg");
        // Our own temporary file, which exists, named so that no name is a URL.
        EXPECT_EQ(a.back(), "file:dir/.velmorra-capture-1.mkv");
        EXPECT_NE(std::find(a.begin(), a.end(), "-y"), a.end());
        EXPECT_EQ(valueOf(a, "-video_size"), "320x240");
        EXPECT_EQ(valueOf(a, "-framerate"), "30");
        EXPECT_EQ(valueOf(a, "-c:v"), c.videoCodec);
        EXPECT_EQ(valueOf(a, "-c:a"), c.audioCodec);
        EXPECT_EQ(valueOf(a, "-ss"), c.seek);
        EXPECT_EQ(std::count(a.begin(), a.end(), "-i"), c.music ? 2 : 1);
        // Raw RGB in, the pictures every player takes out.
        EXPECT_EQ(valueOf(a, "-pix_fmt"), "rgb24");
        const auto output = std::find(a.rbegin(), a.rend(), "-pix_fmt");
        ASSERT_NE(output, a.rend());
        EXPECT_EQ(*(output - 1), "yuv420p");
    }
}

}  // namespace
