#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/interrupt.h"
#include "platform/output_files.h"
#include "platform/signal_name.h"
#include "shell/encoder_arguments.h"
#include "shell/encoder_progress.h"
#include "shell/frame_writer.h"
#include "shell/pipe_feeder.h"

extern char** environ;

namespace fs = std::filesystem;

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

// How long an encoder may go without progress (taking no frame, spending no
// CPU time, writing nothing) before it is stopped. VELMORRA_ENCODER_WATCHDOG_MS shortens it for
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

// Whether the file starts like an MP4 (an "ftyp" box) or a Matroska/WebM
// file (the EBML magic): an encoder that exits 0 may still have written
// nothing.
bool looksLikeVideo(const std::string& path) {
    unsigned char start[8] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const size_t got = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    const bool mp4 = got == 8 && std::memcmp(start + 4, "ftyp", 4) == 0;
    const bool matroska = got >= 4 && std::memcmp(start, "\x1a\x45\xdf\xa3", 4) == 0;
    return mp4 || matroska;
}

// Starts ffmpeg in a process group of its own, reading from stdinPipe. Returns
// its pid, or -1 with error set.
pid_t spawnEncoder(std::vector<std::string> arguments, int stdinPipe, std::string& error) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdinPipe, STDIN_FILENO);
    // A group of its own: a Ctrl-C at the terminal reaches the demo only,
    // which then lets the encoder finish the file; and the watchdog can stop
    // every process of it, a wrapper script's children too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t encoder = -1;
    const int failed =
        posix_spawnp(&encoder, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(failed);
        return -1;
    }
    return encoder;
}

// Pipes raw RGB frames into ffmpeg, which flips, encodes and muxes them into
// a temporary file beside the output. The file takes the output's name only
// once ffmpeg has finished it: a whole capture, or the playable prefix of an
// interrupted one. Anything else removes the temporary file and leaves the
// output's name as it was.
class VideoWriter : public FrameWriter {
public:
    VideoWriter(const CaptureOptions& options, const std::string& musicPath)
        : options(options), musicPath(musicPath), watchdog(encoderWatchdog()) {}

    ~VideoWriter() override {
        feeder.reset();
        stopEncoder();
        removeTemporary();
    }

    bool open(std::string& error) override {
        if (!findOnPath("ffmpeg")) {
            error =
                "ffmpeg was not found; install it (apt-get install ffmpeg) or capture PNG "
                "pictures into a directory instead";
            return false;
        }
        if (!outputMayBeWritten(error)) {
            return false;
        }
        const fs::path output(options.output);
        temporary = createTemporaryFile(output.parent_path().string(), "capture",
                                        output.extension().string(), error);
        if (temporary.empty()) {
            error = "cannot write " + options.output + ": " + error;
            return false;
        }
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
            error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
            return false;
        }
        encoder = spawnEncoder(
            encoderArguments(options, temporary, musicPath, access(musicPath.c_str(), R_OK) == 0),
            pipeEnds[0], error);
        ::close(pipeEnds[0]);
        if (encoder < 0) {
            ::close(pipeEnds[1]);
            return false;
        }
        input = pipeEnds[1];
        fcntl(input, F_SETFL, fcntl(input, F_GETFL) | O_NONBLOCK);
        auto progress = std::make_shared<EncoderProgress>(encoder, temporary);
        feeder = std::make_unique<PipeFeeder>(input, watchdog, caughtSignalCount,
                                              [progress] { return progress->advanced(); });
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
        const bool ended = endEncoder();
        const bool wrote = ended && exitedCleanly && frames > 0 && looksLikeVideo(temporary);
        if (ended && !problem.empty()) {
            // The cause is in ffmpeg's own lines above; this says how it ended.
            problem += " (" + exitText + ")";
        } else if (problem.empty() && !wrote) {
            problem = frames == 0     ? "no frame was written"
                      : exitedCleanly ? "ffmpeg exited without writing a readable video"
                      : exitedByStatus
                          ? "ffmpeg failed to write " + options.output + " (" + exitText + ")"
                          : exitText;
        }
        if (!wrote) {
            removeTemporary();
            error = problem + "; " + outputLeftAlone();
            return false;
        }
        // A failed run takes only a free name; a finished or interrupted one
        // replaces an earlier file when --force asks for it.
        const bool replace = options.force && (problem.empty() || caughtSignal() != 0);
        std::string placing;
        const Placed placed = putInPlace(temporary, options.output, replace, placing);
        if (placed != Placed::Done) {
            removeTemporary();
            error = (problem.empty() ? "" : problem + "; ") +
                    (placed == Placed::NameTaken
                         ? options.output +
                               " appeared while this capture ran; it was left alone and this "
                               "capture was dropped"
                         : placing);
            return false;
        }
        temporary.clear();
        if (problem.empty()) {
            return true;
        }
        error = problem + "; " + options.output + " holds the frames ffmpeg took";
        return false;
    }

private:
    // Refuses a directory, and an existing output unless --force. The file
    // itself is only replaced once the new one is complete.
    bool outputMayBeWritten(std::string& error) {
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
        }
        return true;
    }

    std::string outputLeftAlone() const {
        struct stat status {};
        return lstat(options.output.c_str(), &status) == 0 ? options.output + " was left as it was"
                                                           : "no " + options.output + " was made";
    }

    // Closes the input once the queued frames are in, then waits for ffmpeg
    // to exit for as long as it makes progress. The signal that ended the
    // capture, if one did, has been honoured by ending it; only a further
    // one stops the encoder early. False when it was stopped; problem then
    // says why.
    bool endEncoder() {
        constexpr int honoured = 1;
        const PipeFeeder::Push fed = feeder->close(honoured);
        feeder.reset();
        ::close(input);
        input = -1;
        if (fed == PipeFeeder::Push::Stalled && problem.empty()) {
            problem = stalledProblem();
        }
        if (fed == PipeFeeder::Push::Stalled || fed == PipeFeeder::Push::Interrupted) {
            return stopEncoder(secondSignalProblem);
        }
        EncoderProgress progress(encoder, temporary);
        const std::chrono::milliseconds look = std::min(watchdog / 4, lookStep);
        SteadyClock::time_point lastProgress = SteadyClock::now();
        SteadyClock::time_point lastLook = lastProgress;
        for (;;) {
            int status = 0;
            const pid_t done = waitpid(encoder, &status, WNOHANG);
            if (done == encoder || (done < 0 && errno != EINTR)) {
                encoder = -1;
                recordExit(done > 0, status);
                return true;
            }
            const SteadyClock::time_point now = SteadyClock::now();
            if (caughtSignalCount() > honoured) {
                return stopEncoder(secondSignalProblem);
            }
            if (now - lastLook >= look) {
                lastLook = now;
                if (progress.advanced()) {
                    lastProgress = now;
                }
            }
            if (now - lastProgress > watchdog) {
                return stopEncoder("ffmpeg made no progress for " + seconds(watchdog) +
                                   " after its input closed and was stopped");
            }
            std::this_thread::sleep_for(PipeFeeder::pollStep / 5);
        }
    }

    void recordExit(bool reaped, int status) {
        exitedByStatus = reaped && WIFEXITED(status);
        exitedCleanly = exitedByStatus && WEXITSTATUS(status) == 0;
        if (exitedByStatus) {
            exitText = "ffmpeg exited with status " + std::to_string(WEXITSTATUS(status));
        } else if (reaped && WIFSIGNALED(status)) {
            exitText = "ffmpeg was killed by " + signalName(WTERMSIG(status));
        } else {
            exitText = "ffmpeg ended unseen";
        }
    }

    // Kills every process of the encoder's group and reaps the encoder.
    // Returns false, for endEncoder; problem gets why unless it says so already.
    bool stopEncoder(const std::string& why = "") {
        if (problem.empty()) {
            problem = why;
        }
        if (encoder > 0) {
            kill(-encoder, SIGKILL);
            int status = 0;
            while (waitpid(encoder, &status, 0) < 0 && errno == EINTR) {
            }
            encoder = -1;
        }
        return false;
    }

    std::string stalledProblem() const {
        return "ffmpeg took no frame for " + seconds(watchdog) + " and was stopped";
    }

    void removeTemporary() {
        if (!temporary.empty()) {
            unlink(temporary.c_str());
            temporary.clear();
        }
    }

    static constexpr const char* secondSignalProblem =
        "ffmpeg was stopped by a second signal before it finished";
    static constexpr std::chrono::milliseconds lookStep{1000};

    CaptureOptions options;
    std::string musicPath;
    std::chrono::milliseconds watchdog;
    std::string temporary;  // ffmpeg's output until it is complete
    pid_t encoder = -1;
    int input = -1;
    std::unique_ptr<PipeFeeder> feeder;
    size_t frames = 0;
    bool exitedByStatus = false;
    bool exitedCleanly = false;
    std::string exitText = "ffmpeg did not end";
    std::string problem;  // what went wrong, for the final message
};

}  // namespace

std::unique_ptr<FrameWriter> makeVideoWriter(const CaptureOptions& options,
                                             const std::string& musicPath) {
    return std::make_unique<VideoWriter>(options, musicPath);
}
