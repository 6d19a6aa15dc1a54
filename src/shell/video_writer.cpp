#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/interrupt.h"
#include "shell/encoder_arguments.h"
#include "shell/frame_writer.h"
#include "shell/pipe_feeder.h"

extern char** environ;

namespace {

bool findOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string list = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        std::string candidate = list.substr(start, end - start);
        candidate = (candidate.empty() ? "." : candidate) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

using SteadyClock = std::chrono::steady_clock;

// How long an encoder may take no frame, or take to exit once its input is
// closed, before it is stopped. VELMORRA_ENCODER_WATCHDOG_MS shortens it for
// the tests of a stuck encoder and is read for nothing else.
std::chrono::milliseconds encoderWatchdog() {
    constexpr std::chrono::milliseconds standard{30000};
    const char* setting = std::getenv("VELMORRA_ENCODER_WATCHDOG_MS");
    if (setting != nullptr) {
        const long value = std::strtol(setting, nullptr, 10);
        if (value > 0 && value < standard.count()) {
            return std::chrono::milliseconds(value);
        }
    }
    return standard;
}

std::string seconds(std::chrono::milliseconds span) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(span.count()) / 1000.0);
    return text;
}

// Pipes raw RGB frames into ffmpeg, which flips, encodes and muxes them. A
// failed capture removes its output unless ffmpeg finished it (then it is a
// playable prefix of the demo).
class VideoWriter : public FrameWriter {
public:
    VideoWriter(const CaptureOptions& options, const std::string& musicPath)
        : options(options), musicPath(musicPath), watchdog(encoderWatchdog()) {}

    ~VideoWriter() override {
        if (encoder > 0) {
            feeder.reset();
            kill(encoder, SIGKILL);
            reap(nullptr);
            removeOutput();
        }
    }

    bool open(std::string& error) override {
        if (!findOnPath("ffmpeg")) {
            error =
                "ffmpeg was not found; install it (apt-get install ffmpeg) or capture PNG "
                "pictures into a directory instead";
            return false;
        }
        if (!makeRoomForOutput(error)) {
            return false;
        }

        std::vector<std::string> arguments =
            encoderArguments(options, musicPath, access(musicPath.c_str(), R_OK) == 0);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);

        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
            error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
        // A group of its own: a Ctrl-C at the terminal reaches the demo only,
        // which then lets the encoder finish the file.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const int failed =
            posix_spawnp(&encoder, "ffmpeg", &actions, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[0]);
        if (failed != 0) {
            encoder = -1;
            ::close(pipeEnds[1]);
            error = std::string("cannot start ffmpeg: ") + std::strerror(failed);
            return false;
        }
        // A dying encoder must surface as a write error, not kill the demo.
        signal(SIGPIPE, SIG_IGN);
        input = pipeEnds[1];
        fcntl(input, F_SETFL, fcntl(input, F_GETFL) | O_NONBLOCK);
        feeder = std::make_unique<PipeFeeder>(input, watchdog, caughtSignalCount);
        return true;
    }

    bool write(SceneTime, const std::vector<uint8_t>& rgb, std::string& error) override {
        switch (feeder->push(rgb)) {
            case PipeFeeder::Push::Queued:
                ++frames;
                return true;
            case PipeFeeder::Push::Stalled:
                problem = stalledProblem();
                break;
            case PipeFeeder::Push::Failed:
                problem = "ffmpeg stopped taking frames";
                break;
            case PipeFeeder::Push::Interrupted:
                break;
        }
        error = problem;
        return false;
    }

    bool finish(std::string& error) override {
        if (encoder <= 0) {
            return true;
        }
        const bool ended = endEncoder();
        const bool playable = ended && exitStatus == 0 && frames > 0;
        if (ended && !problem.empty()) {
            // The cause is in ffmpeg's own lines above; its status says it ended.
            problem += " (ffmpeg exited with status " + std::to_string(exitStatus) + ")";
        }
        if (problem.empty() && !playable) {
            problem = frames == 0 ? "no frame was written"
                                  : "ffmpeg failed to write " + options.output + " (exit status " +
                                        std::to_string(exitStatus) + ")";
        }
        if (problem.empty()) {
            return true;
        }
        if (playable) {
            error = problem + "; " + options.output + " holds the frames ffmpeg took";
        } else {
            removeOutput();
            error = problem + "; the unfinished " + options.output + " was removed";
        }
        return false;
    }

private:
    // Refuses an existing output unless --force, and then removes it (a
    // symbolic link itself, never its target) so that ffmpeg makes a new
    // file. The directory must be writable: checked without leaving a file.
    bool makeRoomForOutput(std::string& error) {
        struct stat status {};
        if (lstat(options.output.c_str(), &status) == 0) {
            if (S_ISDIR(status.st_mode)) {
                error = options.output + " is a directory";
                return false;
            }
            if (!options.force) {
                error = options.output + " already exists; add --force to replace it";
                return false;
            }
            if (unlink(options.output.c_str()) != 0) {
                error = "cannot replace " + options.output + ": " + std::strerror(errno);
                return false;
            }
        }
        std::string directory = std::filesystem::path(options.output).parent_path().string();
        if (directory.empty()) {
            directory = ".";
        }
        if (access(directory.c_str(), W_OK | X_OK) != 0) {
            error = "cannot write " + options.output + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }

    // Closes the input once the queued frames are in, then waits for ffmpeg
    // to exit. A stuck encoder is killed after the watchdog, or at once on a
    // signal beyond the one (if any) that ended the capture. False when it
    // was killed; problem then says why.
    bool endEncoder() {
        const int signalsSeen = caughtSignalCount();
        const PipeFeeder::Push fed = feeder->close(signalsSeen);
        feeder.reset();
        ::close(input);
        input = -1;
        if (fed == PipeFeeder::Push::Stalled && problem.empty()) {
            problem = stalledProblem();
        }
        const SteadyClock::time_point deadline = SteadyClock::now() + watchdog;
        bool killed = fed == PipeFeeder::Push::Stalled || fed == PipeFeeder::Push::Interrupted;
        int status = 0;
        while (!killed) {
            const pid_t done = waitpid(encoder, &status, WNOHANG);
            if (done == encoder || (done < 0 && errno != EINTR)) {
                exitStatus = done == encoder && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                encoder = -1;
                return true;
            }
            if (SteadyClock::now() > deadline) {
                problem = "ffmpeg had not exited " + seconds(watchdog) +
                          " after its input closed and was stopped";
                killed = true;
            } else if (caughtSignalCount() > signalsSeen) {
                problem = "ffmpeg was stopped by a second signal before it finished";
                killed = true;
            } else {
                std::this_thread::sleep_for(PipeFeeder::pollStep / 5);
            }
        }
        if (problem.empty()) {
            problem = "ffmpeg was stopped by a second signal before it finished";
        }
        kill(encoder, SIGKILL);
        reap(&status);
        exitStatus = -1;
        return false;
    }

    std::string stalledProblem() const {
        return "ffmpeg took no frame for " + seconds(watchdog) + " and was stopped";
    }

    void reap(int* status) {
        int ignored = 0;
        while (waitpid(encoder, status != nullptr ? status : &ignored, 0) < 0 && errno == EINTR) {
        }
        encoder = -1;
    }

    void removeOutput() {
        std::error_code ignored;
        std::filesystem::remove(options.output, ignored);
    }

    CaptureOptions options;
    std::string musicPath;
    std::chrono::milliseconds watchdog;
    pid_t encoder = -1;
    int input = -1;
    std::unique_ptr<PipeFeeder> feeder;
    size_t frames = 0;
    int exitStatus = -1;
    std::string problem;  // what went wrong, for the final message
};

}  // namespace

std::unique_ptr<FrameWriter> makeVideoWriter(const CaptureOptions& options,
                                             const std::string& musicPath) {
    return std::make_unique<VideoWriter>(options, musicPath);
}
