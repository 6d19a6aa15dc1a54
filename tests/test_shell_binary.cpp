#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/captured_frame.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

const char* const helpText =
    "velmorra: Pathetic parameters:\nResolution:\na - 800x600\nb - 1024x768\nc - 1280x1024\n\nw - "
    "windowed mode\n";

TEST(ShellBinary, QuestionMarkShowsTheHelpBoxAndOpensNoWindow) {
    // No display and no offscreen driver: any attempt to open a window would fail.
    Environment noDisplay = {{"DISPLAY", unsetVariable},
                             {"WAYLAND_DISPLAY", unsetVariable},
                             {"SDL_VIDEODRIVER", unsetVariable},
                             {"VELMORRA_NO_DIALOGS", "1"}};
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"?"}, {"w", "?"}}) {
        std::vector<std::string> command = {VELMORRA_BINARY};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ProcessResult result = runProgram(command, noDisplay);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, helpText);
    }
}

TEST(ShellBinary, UsageAndBadOptions) {
    ProcessResult usage = runProgram({VELMORRA_BINARY, "--help"}, headlessEnvironment());
    EXPECT_EQ(usage.exitCode, 0);
    EXPECT_NE(usage.out.find("--capture=OUT"), std::string::npos);
    EXPECT_NE(usage.out.find("1280 x 1024"), std::string::npos);

    ProcessResult bad = runProgram({VELMORRA_BINARY, "--frobnicate"}, headlessEnvironment());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("unknown option '--frobnicate'"), std::string::npos);
}

TEST(ShellBinary, NoDisplayAtAllCannotOpenOpenGL) {
    ProcessResult result = runProgram({VELMORRA_BINARY, "w"}, {{"DISPLAY", unsetVariable},
                                                               {"WAYLAND_DISPLAY", unsetVariable},
                                                               {"SDL_VIDEODRIVER", unsetVariable},
                                                               {"VELMORRA_NO_DIALOGS", "1"}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("velmorra: Error opening OpenGL\n"), std::string::npos);
}

TEST(ShellBinary, RefusesADriverWithoutTheRequiredExtensions) {
    // Mesa hides multitexturing from the extension string when told to.
    ProcessResult multitexture = runProgram(
        {VELMORRA_BINARY, "w"},
        withVariable(headlessEnvironment(), "MESA_EXTENSION_OVERRIDE", "-GL_ARB_multitexture"));
    EXPECT_EQ(multitexture.exitCode, 1);
    EXPECT_NE(multitexture.err.find("velmorra: Your OpenGL does not support multitexturing\n"),
              std::string::npos);

    // SDL's own per-extension switch hides compiled vertex arrays alone.
    ProcessResult lockArrays =
        runProgram({VELMORRA_BINARY, "w"},
                   withVariable(headlessEnvironment(), "GL_EXT_compiled_vertex_array", "0"));
    EXPECT_EQ(lockArrays.exitCode, 1);
    EXPECT_NE(lockArrays.err.find("velmorra: Your OpenGL does not support lockarray\n"),
              std::string::npos);
    EXPECT_EQ(lockArrays.err.find("multitexturing"), std::string::npos);
}

TEST(ShellBinary, CaptureWritesOnePngPerShotAndIsRepeatable) {
    std::string directory = makeTemporaryDirectory("capture");
    std::string first = directory + "/first";
    std::string second = directory + "/second";
    for (const std::string& output : {first, second}) {
        ProcessResult result = runProgram(
            {VELMORRA_BINARY, "--capture=" + output, "--size=160x120", "--shots=0,150,1000"},
            headlessEnvironment());
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(first)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"000000.png", "000150.png", "001000.png"}));
    for (const std::string& name : names) {
        CapturedFrame a;
        CapturedFrame b;
        ASSERT_TRUE(readCapturedFrame(first + "/" + name, a)) << name;
        ASSERT_TRUE(readCapturedFrame(second + "/" + name, b)) << name;
        EXPECT_EQ(a.width, 160) << name;
        EXPECT_EQ(a.height, 120) << name;
        EXPECT_EQ(a.rgb, b.rgb) << name;
    }
    fs::remove_all(directory);
}

TEST(ShellBinary, CaptureFailuresAreReported) {
    std::string directory = makeTemporaryDirectory("capture-fail");
    std::string blocker = directory + "/file";
    std::FILE* file = std::fopen(blocker.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    // A directory cannot be made below a plain file.
    ProcessResult unwritable = runProgram(
        {VELMORRA_BINARY, "--capture=" + blocker + "/frames", "--shots=0"}, headlessEnvironment());
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("velmorra: cannot create the capture directory"),
              std::string::npos);

    // A video needs ffmpeg; without it on the PATH the capture refuses at once.
    ProcessResult noEncoder =
        runProgram({VELMORRA_BINARY, "--capture=" + directory + "/demo.mp4", "--shots=0"},
                   withVariable(headlessEnvironment(), "PATH", directory));
    EXPECT_EQ(noEncoder.exitCode, 1);
    EXPECT_NE(noEncoder.err.find("ffmpeg was not found"), std::string::npos);

    // An encoder that takes two frames and dies: the frames after them have
    // nowhere to go, and the capture ends with an error instead of hanging.
    const std::string fake = directory + "/bin";
    fs::create_directories(fake);
    std::ofstream(fake + "/ffmpeg") << "#!/bin/sh\nhead -c 115200 >/dev/null\nexit 0\n";
    fs::permissions(fake + "/ffmpeg", fs::perms::owner_all);
    ProcessResult dying = runProgram(
        {VELMORRA_BINARY, "--capture=" + directory + "/dies.mp4", "--size=160x120", "--to=2000"},
        withVariable(headlessEnvironment(), "PATH", fake + ":/usr/bin:/bin"));
    EXPECT_EQ(dying.exitCode, 1);
    EXPECT_NE(dying.err.find("velmorra: ffmpeg stopped taking frames"), std::string::npos)
        << dying.err;
    fs::remove_all(directory);
}

TEST(ShellBinary, CaptureEncodesAVideoWithFfmpeg) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    std::string directory = makeTemporaryDirectory("video");
    std::string video = directory + "/clip.mp4";
    std::string again = directory + "/again.mp4";
    for (const std::string& output : {video, again}) {
        ProcessResult result = runProgram(
            {VELMORRA_BINARY, "--capture=" + output, "--size=160x120", "--fps=25", "--to=1000"},
            headlessEnvironment());
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    // The same command gives the same bytes: an archive can be checked.
    const std::vector<uint8_t> bytes = readFile(video);
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(bytes == readFile(again));
    ProcessResult probe =
        runProgram({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                    "-show_entries", "stream=nb_read_frames,width,height", "-of", "csv=p=0", video},
                   {});
    EXPECT_EQ(probe.out, "160,120,26\n");
    fs::remove_all(directory);
}

}  // namespace
