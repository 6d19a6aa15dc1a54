#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/jpeg_encode.h"
#include "support/process.h"
#include "support/tone.h"

namespace fs = std::filesystem;

namespace {

// What a case leaves at its name: nothing, the "x\n" it held before, a video,
// or a directory with 003000.png and 004000.png of one size.
enum class Output { Absent, Untouched, Video, Frames };

double videoSeconds(const std::string& path) {
    ProcessResult probe = runProgram(
        {"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path}, {});
    return probe.exitCode == 0 && !probe.out.empty() ? std::atof(probe.out.c_str()) : -1.0;
}

// The width in a PNG file's header, or 0.
uint32_t pngWidth(const std::string& path) {
    const std::vector<uint8_t> bytes = readFile(path);
    return bytes.size() < 24 ? 0
                             : uint32_t{bytes[16]} << 24 | uint32_t{bytes[17]} << 16 |
                                   uint32_t{bytes[18]} << 8 | bytes[19];
}

// Each case is a shell script run in a directory of its own that holds the
// demo ($V, with a one-second tone as its music) and bin/ with a fake ffmpeg
// for the cases that want one. The encoder watchdog is shortened to 1 s.
TEST(CaptureFaultsBinary, EveryFaultEndsWithItsCodeItsMessageAndNoDataLost) {
    const std::string stuck = "exec sleep 100000";
    // Takes every frame, makes its output, then never exits.
    const std::string lingering =
        "for a; do out=$a; done; echo partial > \"${out#file:}\"; cat >/dev/null; " + stuck;
    const std::string small = " --size=160x120 --fps=10";
    // Takes every frame, then finishes slowly: a real encode of a test picture.
    const std::string slowFinish =
        "for a; do out=$a; done; cat >/dev/null; touch closed; sleep 1; exec /usr/bin/ffmpeg "
        "-loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10 -t 1 \"$out\"";
    // Two runs at once; the script exits with the sum of their codes.
    const auto race = [&](const std::string& first, const std::string& second) {
        return "$V " + first + " 2>e1 & a=$!; $V " + second +
               " & b=$!; wait $a; x=$?; wait $b; y=$?; cat e1 >&2; exit $((x + y))";
    };
    const std::string shots = " --capture=D --shots=3000,4000 --size=";
    const struct {
        const char* name;
        std::string fakeEncoder;  // empty: the real ffmpeg
        std::string script;
        int exitCode;
        const char* message;
        const char* output;
        Output state;
        double minSeconds;
    } cases[] = {
        {"a signal ends the capture with a playable file", "",
         "$V --capture=out.mp4 & p=$!; sleep 3; kill -TERM $p; wait $p", 128 + SIGTERM,
         "velmorra: capture interrupted by SIGTERM at ", "out.mp4", Output::Video, 0.5},
        {"an encoder that takes nothing is stopped", stuck, "$V --capture=out.mp4" + small, 1,
         "velmorra: ffmpeg took no frame for 1 s and was stopped; no out.mp4 was made", "out.mp4",
         Output::Absent, 0},
        {"an encoder that never exits is stopped", lingering,
         "$V --capture=out.mp4 --to=300" + small, 1,
         "velmorra: ffmpeg made no progress for 1 s after its input closed and was stopped",
         "out.mp4", Output::Absent, 0},
        {"a second signal ends a stuck encoder at once", stuck,
         "VELMORRA_ENCODER_WATCHDOG_MS= $V --capture=out.mp4" + small +
             " & p=$!; sleep 2; kill -TERM $p; sleep 1; kill -TERM $p; wait $p",
         128 + SIGTERM, "velmorra: capture interrupted by SIGTERM at ", "out.mp4", Output::Absent,
         0},
        {"an existing file is refused", "",
         "echo x > out.mp4; $V --capture=out.mp4 --to=300" + small, 1,
         "velmorra: out.mp4 already exists; add --force to replace it\n", "out.mp4",
         Output::Untouched, 0},
        {"--force replaces a link, never its target", "",
         "echo x > target; ln -s target out.mp4; $V --force --capture=out.mp4 --to=300" + small, 0,
         "", "out.mp4", Output::Video, 0.3},
        {"a URL-like name is a file", "", "$V --capture=pipe:1.mkv --to=300" + small, 0, "",
         "pipe:1.mkv", Output::Video, 0.3},
        {"an option-like name is a file", "", "$V --capture=-x.mp4 --to=300" + small, 0, "",
         "-x.mp4", Output::Video, 0.3},
        {"a sound shorter than the picture is padded", "", "$V --capture=out.mp4 --to=3000" + small,
         0, "", "out.mp4", Output::Video, 3.0},
        {"two runs race for one name: one wins whole", "",
         race("--capture=out.mp4 --to=1000" + small, "--capture=out.mp4 --to=1000" + small), 1,
         "velmorra: out.mp4 ", "out.mp4", Output::Video, 0.9},
        {"a signal after the last frame keeps the file whole", slowFinish,
         "VELMORRA_ENCODER_WATCHDOG_MS= $V --capture=out.mp4 --to=300" + small +
             " & p=$!; while [ ! -e closed ]; do sleep 0.05; done; kill -TERM $p; wait $p",
         128 + SIGTERM, "velmorra: SIGTERM came after the last frame; out.mp4 is complete\n",
         "out.mp4", Output::Video, 0.9},
        {"a hangup ignored at the start stays ignored", "",
         "nohup $V --capture=out.mp4 --to=1500" + small +
             " >/dev/null & p=$!; sleep 1; kill -HUP $p; wait $p",
         0, "", "out.mp4", Output::Video, 1.4},
        {"a range that holds no frame is a failure", "",
         "$V --capture=D --from=101 --to=115" + small, 1,
         "velmorra: no frame was written; no D was made", "D", Output::Absent, 0},
        {"an encoder that writes nothing is a failure", "cat >/dev/null",
         "$V --capture=out.mp4 --to=300" + small, 1,
         "velmorra: ffmpeg exited without writing a readable video; no out.mp4 was made\n",
         "out.mp4", Output::Absent, 0},
        {"an odd size is refused before --force removes anything", "",
         "echo x > out.mp4; $V --capture=out.mp4 --force --size=641x481", 2,
         "velmorra: a video cannot be 641x481: its width and height must be even", "out.mp4",
         Output::Untouched, 0},
        {"--force and then a signal before any frame leave the earlier file",
         "touch started; exec /usr/bin/ffmpeg \"$@\"",
         "echo x > out.mp4; $V --capture=out.mp4 --force --from=120000" + small +
             " & p=$!; while [ ! -e started ]; do sleep 0.05; done; kill -TERM $p; wait $p",
         128 + SIGTERM, "velmorra: capture interrupted by SIGTERM at the start", "out.mp4",
         Output::Untouched, 0},
        {"two PNG runs on one directory: one is refused", "",
         race(shots + "160x120", shots + "320x240"), 1, "velmorra: D ", "D", Output::Frames, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string directory = makeTemporaryDirectory("capture-faults");
        const std::string binary = installBinaryCopy(directory);
        ASSERT_TRUE(writeToneMp3(directory + "/data/music.mp3", 1.0, 440.0));
        Environment environment = withVariable(withVariable(headlessEnvironment(), "V", binary),
                                               "VELMORRA_ENCODER_WATCHDOG_MS", "1000");
        if (!c.fakeEncoder.empty()) {
            fs::create_directories(directory + "/bin");
            std::ofstream(directory + "/bin/ffmpeg") << "#!/bin/sh\n" << c.fakeEncoder << "\n";
            fs::permissions(directory + "/bin/ffmpeg", fs::perms::owner_all);
            environment = withVariable(environment, "PATH", directory + "/bin:/usr/bin:/bin");
        }
        // Every case ends within seconds; 20 s means a hang.
        ProcessResult result = runProgram(
            {"/bin/sh", "-c", "cd \"$0\" || exit 99; " + c.script, directory}, environment, 20);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty()) << "the video went to stdout";
        const std::string output = directory + "/" + c.output;
        switch (c.state) {
            case Output::Absent:
                EXPECT_FALSE(fs::exists(fs::symlink_status(output)));
                break;
            case Output::Untouched:
                EXPECT_EQ(readFile(output), std::vector<uint8_t>({'x', '\n'}));
                break;
            case Output::Video:
                EXPECT_GE(videoSeconds(output), c.minSeconds);
                EXPECT_FALSE(fs::is_symlink(output));
                break;
            case Output::Frames:
                EXPECT_NE(pngWidth(output + "/003000.png"), 0u);
                EXPECT_EQ(pngWidth(output + "/003000.png"), pngWidth(output + "/004000.png"));
                EXPECT_EQ(std::distance(fs::directory_iterator(output), fs::directory_iterator()),
                          2);
                break;
        }
        // Nothing of a run's own is left behind: no temporary file or lock.
        for (const auto& entry : fs::directory_iterator(directory)) {
            EXPECT_NE(entry.path().filename().string().rfind(".velmorra", 0), 0u) << entry.path();
        }
        if (fs::exists(directory + "/target")) {
            EXPECT_EQ(readFile(directory + "/target"), std::vector<uint8_t>({'x', '\n'}));
        }
        fs::remove_all(directory);
    }
}

}  // namespace
