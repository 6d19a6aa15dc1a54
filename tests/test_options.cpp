#include <gtest/gtest.h>

#include "shell/options.h"

namespace {

struct LetterCase {
    std::vector<std::string> arguments;
    int width;
    int height;
    int fullscreen;
    bool helpBox;
};

TEST(LetterOptions, SizesModesAndHelpFollowTheFirstCharacter) {
    const LetterCase cases[] = {
        {{}, 640, 480, 1, false},
        {{"b", "w"}, 1024, 768, 0, false},
        {{"a", "c"}, 1280, 1024, 1, false},  // the later letter wins
        {{"c", "a"}, 800, 600, 1, false},
        {{"W"}, 640, 480, 0, false},  // lower-cased before it is judged
        {{"big"}, 1024, 768, 1, false},
        {{"window"}, 640, 480, 0, false},
        {{"/?"}, 640, 480, 1, false},  // a slash or hyphen first: ignored
        {{"-w"}, 640, 480, 1, false},
        {{"a\tw"}, 800, 600, 1, false},  // a tab stays inside the token
        {{"?"}, 640, 480, 1, true},
        {{"w", "?"}, 640, 480, 0, true},
        {{"?", "w"}, 640, 480, 1, true},
        {{"x", "  ", "b"}, 1024, 768, 1, false},  // runs of spaces make no empty token
        {{"b w"}, 1024, 768, 0, false},           // one argument holding two tokens
    };
    for (const LetterCase& c : cases) {
        ProgramOptions options = parseProgramOptions(c.arguments);
        std::string label = ::testing::PrintToString(c.arguments);
        EXPECT_TRUE(options.error.empty()) << label;
        EXPECT_EQ(options.config.width, c.width) << label;
        EXPECT_EQ(options.config.height, c.height) << label;
        if (!c.helpBox) {
            EXPECT_EQ(options.config.fullscreen, c.fullscreen) << label;
        }
        EXPECT_EQ(options.helpBox, c.helpBox) << label;
    }
}

TEST(LetterOptions, TokensAreCutAtSpacesOnly) {
    EXPECT_EQ(letterTokens({"  a  b", "c\td"}), (std::vector<std::string>{"a", "b", "c\td"}));
    EXPECT_TRUE(letterTokens({"", "   "}).empty());
}

TEST(CaptureOptions, AreReadAndDefaultToTheLetterSize) {
    ProgramOptions options =
        parseProgramOptions({"b", "--capture=/tmp/Out Dir", "--fps=30", "--from=100", "--to=2000"});
    ASSERT_TRUE(options.error.empty()) << options.error;
    ASSERT_TRUE(options.capture.has_value());
    EXPECT_EQ(options.capture->output, "/tmp/Out Dir");  // case and spaces kept
    EXPECT_EQ(options.capture->fps, 30);
    EXPECT_EQ(options.capture->width, 1024);
    EXPECT_EQ(options.capture->height, 768);
    EXPECT_EQ(options.capture->from, 100u);
    EXPECT_EQ(options.capture->to, 2000u);
    // Our options never reach the letter parser: "--capture=w..." is not windowed.
    EXPECT_EQ(parseProgramOptions({"--capture=wide"}).config.fullscreen, 1);
}

TEST(SizeOption, WinsOverTheLettersWhereverItStandsAndKeepsW) {
    struct SizeCase {
        std::vector<std::string> arguments;
        int width;
        int height;
        int fullscreen;
    };
    const SizeCase cases[] = {
        {{"--size=1920x1080"}, 1920, 1080, 1},
        {{"c", "--size=1280x720"}, 1280, 720, 1},
        {{"--size=1280x720", "c"}, 1280, 720, 1},
        {{"a", "--size=1280x720", "b", "w"}, 1280, 720, 0},
        {{"w", "--size=64X48"}, 64, 48, 0},
        {{"--size=16384x16384"}, 16384, 16384, 1},
        {{"--size=100x100", "--size=333x251"}, 333, 251, 1},  // the last --size wins
    };
    for (const SizeCase& c : cases) {
        ProgramOptions options = parseProgramOptions(c.arguments);
        std::string label = ::testing::PrintToString(c.arguments);
        ASSERT_TRUE(options.error.empty()) << label << ": " << options.error;
        EXPECT_EQ(options.config.width, c.width) << label;
        EXPECT_EQ(options.config.height, c.height) << label;
        EXPECT_EQ(options.config.fullscreen, c.fullscreen) << label;
        EXPECT_FALSE(options.capture.has_value()) << label;
    }
}

TEST(SizeOption, RefusesSizesOutOfRangeAndMalformedValues) {
    const std::vector<std::string> outOfRange = {
        "--size=63x48",     "--size=64x47", "--size=16385x480",
        "--size=640x16385", "--size=0x0",   "--size=99999999999x480",
    };
    for (const std::string& argument : outOfRange) {
        std::string error = parseProgramOptions({"b", argument}).error;
        EXPECT_NE(error.find("out of range"), std::string::npos) << argument << ": " << error;
        EXPECT_NE(error.find("64x48 to 16384x16384"), std::string::npos) << argument;
    }
    const std::vector<std::string> malformed = {
        "--size",          "--size=",          "--size=640",      "--size=640x",
        "--size=x480",     "--size=640x480x2", "--size=-640x480", "--size=+640x480",
        "--size=640 x480", "--size=6.4x480",
    };
    for (const std::string& argument : malformed) {
        std::string error = parseProgramOptions({argument}).error;
        EXPECT_NE(error.find("cannot read option '" + argument + "'"), std::string::npos)
            << argument << ": " << error;
    }
}

TEST(CaptureOptions, SizeAndShots) {
    ProgramOptions options =
        parseProgramOptions({"--capture=x", "--size=320x200", "--shots=9792,0,9792,61500"});
    ASSERT_TRUE(options.error.empty()) << options.error;
    EXPECT_EQ(options.capture->width, 320);
    EXPECT_EQ(options.capture->height, 200);
    EXPECT_EQ(options.capture->shots, (std::vector<SceneTime>{0, 9792, 61500}));
}

TEST(Options, EveryRefusalNamesItsReason) {
    struct Refusal {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Refusal refusals[] = {
        {{"--capture="}, "cannot read option '--capture='"},
        {{"--capture"}, "cannot read option '--capture'"},
        {{"--capture=x", "--fps=0"}, "cannot read option '--fps=0'"},
        {{"--capture=x", "--fps=1001"}, "cannot read option '--fps=1001'"},
        {{"--capture=x", "--fps=sixty"}, "cannot read option '--fps=sixty'"},
        {{"--capture=x", "--fps=30", "--fps=0"}, "cannot read option '--fps=0'"},
        {{"--capture=x", "--shots=1,,2"}, "cannot read option '--shots=1,,2'"},
        {{"--capture=x", "--from=-5"}, "cannot read option '--from=-5'"},
        {{"--capture=x", "--to=4294967296"}, "cannot read option '--to=4294967296'"},
        {{"--capture=x", "--from=500", "--to=100"}, "--to is earlier than --from"},
        {{"--capture=x", "--from=131001"},
         "--from=131001 lies after the end of the demo (131000 ms)"},
        {{"--capture=x", "--shots=131001,140000"},
         "shot 131001 lies after the end of the demo (131000 ms)"},
        {{"--capture=x", "--shots=131000,131001"},
         "shot 131001 lies after the end of the demo (131000 ms)"},
        {{"--capture=x", "--shots=0", "--from=5"}, "--shots cannot go with --from or --to"},
        {{"--capture=x", "--to=5", "--shots=0"}, "--shots cannot go with --from or --to"},
        {{"--capture=x.mp4", "--size=641x480"}, "a video cannot be 641x480: its width and height "},
        {{"--capture=x.webm", "--size=640x481"},
         "a video cannot be 640x481: its width and height "},
        {{"--capture=x.mp4", "--size=16384x16384"}, "a video cannot be 16384x16384: "},
        {{"--fps=30"}, "--fps, --from, --to, --shots and --force need --capture=OUT"},
        {{"--force"}, "--fps, --from, --to, --shots and --force need --capture=OUT"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--help=me"}, "unknown option '--help=me'"},
        {{"--stats=1"}, "unknown option '--stats=1'"},
        {{"--size=640x480", "--Size=640x480"}, "unknown option '--Size=640x480'"},
        {{"--av-offset=501"}, "cannot read option '--av-offset=501': milliseconds from -500"},
        {{"--av-offset=-501"}, "cannot read option '--av-offset=-501'"},
        {{"--av-offset=12ms"}, "cannot read option '--av-offset=12ms'"},
        {{"--av-offset=+-5"}, "cannot read option '--av-offset=+-5'"},
        {{"--av-offset"}, "cannot read option '--av-offset'"},
        {{"--capture=x", "--av-offset=20"}, "--av-offset is for play: a capture plays no sound"},
    };
    for (const Refusal& r : refusals) {
        const std::string error = parseProgramOptions(r.arguments).error;
        EXPECT_EQ(error.substr(0, r.message.size()), r.message)
            << ::testing::PrintToString(r.arguments) << ": " << error;
    }
    // A video of the largest size a PNG run takes is refused, the PNG run is not.
    EXPECT_TRUE(parseProgramOptions({"--capture=x", "--size=16384x16384"}).error.empty());
    EXPECT_TRUE(parseProgramOptions({"--help"}).usageText);
    EXPECT_EQ(parseProgramOptions({}).avOffsetMs, 0);
    EXPECT_EQ(parseProgramOptions({"--av-offset=-500"}).avOffsetMs, -500);
    EXPECT_EQ(parseProgramOptions({"w", "--av-offset=+35", "--av-offset=500"}).avOffsetMs, 500);
}

}  // namespace
