#include "shell/frame_writer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "media/png_file.h"
#include "platform/interrupt.h"

extern char** environ;

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Our own frame names: six or more digits and ".png" (see frameFileName).
bool isFrameFileName(const std::string& name) {
    const size_t digits = name.size() - std::min(name.size(), size_t{4});
    return digits >= 6 && endsWith(name, ".png") &&
           std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(digits),
                       [](char c) { return c >= '0' && c <= '9'; });
}

class PngDirectoryWriter : public FrameWriter {
public:
    PngDirectoryWriter(const CaptureOptions& options)
        : directory(options.output),
          width(options.width),
          height(options.height),
          force(options.force) {}

    bool open(std::string& error) override {
        std::error_code code;
        std::filesystem::create_directories(directory, code);
        if (code || !std::filesystem::is_directory(directory)) {
            error = "cannot create the capture directory " + directory +
                    (code ? ": " + code.message() : "");
            return false;
        }
        // Frames of an earlier capture would mix with the new ones.
        std::vector<std::filesystem::path> earlier;
        for (const auto& entry : std::filesystem::directory_iterator(directory, code)) {
            if (isFrameFileName(entry.path().filename().string())) {
                earlier.push_back(entry.path());
            }
        }
        if (earlier.empty()) {
            return true;
        }
        if (!force) {
            error = directory + " already holds " + std::to_string(earlier.size()) +
                    " frame(s) of an earlier capture; add --force to remove them first";
            return false;
        }
        for (const auto& path : earlier) {
            if (!std::filesystem::remove(path, code) && code) {
                error = "cannot remove " + path.string() + ": " + code.message();
                return false;
            }
        }
        return true;
    }

    bool write(SceneTime time, const std::vector<uint8_t>& rgb, std::string& error) override {
        std::filesystem::path path = std::filesystem::path(directory) / frameFileName(time);
        if (writePng(path.string(), width, height, rgb, error)) {
            return true;
        }
        // Every picture already there is whole: they are kept.
        error += "; the frames written before it stay in " + directory;
        return false;
    }

    bool finish(std::string&) override { return true; }

private:
    std::string directory;
    int width;
    int height;
    bool force;
};

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

// How often a wait looks at the signal flag and the watchdog.
constexpr std::chrono::milliseconds pollStep{50};

// Hands frames to a pipe from a thread of its own, through a few buffers made
// once, so that drawing the next frame goes on while the encoder takes this
// one. The pipe does not block: the thread waits on it in short steps, so a
// reader that stops reading is noticed by the watchdog and the thread can be
// told to give up.
class PipeFeeder {
public:
    enum class Push { Queued, Failed, Stalled, Interrupted };

    PipeFeeder(int pipe, std::chrono::milliseconds watchdog)
        : pipe(pipe), watchdog(watchdog), thread([this] { run(); }) {}

    ~PipeFeeder() {
        giveUp();
        close();
    }

    // Copies the frame into a free buffer, waiting for one when all are
    // queued. Gives up when the pipe failed or stalled, or a signal came.
    Push push(const std::vector<uint8_t>& frame) {
        std::unique_lock lock(mutex);
        while (!failed && !stalled && queued == buffers.size()) {
            if (caughtSignal() != 0) {
                return Push::Interrupted;
            }
            changed.wait_for(lock, pollStep);
        }
        if (stalled) {
            return Push::Stalled;
        }
        if (failed) {
            return Push::Failed;
        }
        buffers[(first + queued) % buffers.size()].assign(frame.begin(), frame.end());
        ++queued;
        changed.notify_all();
        return Push::Queued;
    }

    // Waits until every queued frame is in the pipe, or the feeder gives up:
    // after the watchdog, or at once on a signal beyond signalsSeen.
    Push close(int signalsSeen = -1) {
        {
            std::unique_lock lock(mutex);
            closing = true;
            changed.notify_all();
            while (signalsSeen >= 0 && queued > 0 && !failed && !stalled) {
                if (caughtSignalCount() > signalsSeen) {
                    abandoned = true;
                    break;
                }
                changed.wait_for(lock, pollStep);
            }
        }
        if (thread.joinable()) {
            thread.join();
        }
        if (stalled) {
            return Push::Stalled;
        }
        if (abandoned) {
            return Push::Interrupted;
        }
        return failed ? Push::Failed : Push::Queued;
    }

    void giveUp() {
        std::lock_guard lock(mutex);
        abandoned = true;
        changed.notify_all();
    }

private:
    // Writes one frame whole. False on a write error, a stall or when told
    // to give up.
    bool writeFrame(const std::vector<uint8_t>& frame) {
        size_t done = 0;
        SteadyClock::time_point progress = SteadyClock::now();
        while (done < frame.size()) {
            if (abandonedNow()) {
                return false;
            }
            const ssize_t wrote = ::write(pipe, frame.data() + done, frame.size() - done);
            if (wrote > 0) {
                done += static_cast<size_t>(wrote);
                progress = SteadyClock::now();
                continue;
            }
            if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            }
            if (SteadyClock::now() - progress > watchdog) {
                std::lock_guard lock(mutex);
                stalled = true;
                return false;
            }
            pollfd ready{pipe, POLLOUT, 0};
            poll(&ready, 1, static_cast<int>(pollStep.count()));
        }
        return true;
    }

    bool abandonedNow() {
        std::lock_guard lock(mutex);
        return abandoned;
    }

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return closing || abandoned || queued > 0; });
            if (queued == 0 || abandoned) {
                return;
            }
            const std::vector<uint8_t>& frame = buffers[first];
            lock.unlock();
            const bool written = writeFrame(frame);
            lock.lock();
            --queued;
            first = (first + 1) % buffers.size();
            failed = failed || !written;
            changed.notify_all();
            if (failed) {
                return;
            }
        }
    }

    int pipe;
    std::chrono::milliseconds watchdog;
    std::mutex mutex;
    std::condition_variable changed;
    // A ring of three buffers: one being written to the pipe, two drawn ahead.
    // The queued frames are the `queued` buffers from `first` on.
    std::array<std::vector<uint8_t>, 3> buffers;
    size_t first = 0;
    size_t queued = 0;
    bool closing = false;
    bool failed = false;
    bool stalled = false;
    bool abandoned = false;
    std::thread thread;
};

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

        std::vector<std::string> arguments = encoderArguments();
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
        feeder = std::make_unique<PipeFeeder>(input, watchdog);
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

    // ffmpeg takes any name as a URL or an option ("pipe:1.mkv", "-x.mp4");
    // the file: prefix makes it a plain file name.
    static std::string asFile(const std::string& path) { return "file:" + path; }

    std::vector<std::string> encoderArguments() const {
        const bool withMusic = access(musicPath.c_str(), R_OK) == 0;
        const bool webm = endsWith(options.output, ".webm");
        std::vector<std::string> a = {
            "ffmpeg",
            "-hide_banner",
            "-loglevel",
            "error",
            "-n",
            "-f",
            "rawvideo",
            "-pix_fmt",
            "rgb24",
            "-video_size",
            std::to_string(options.width) + "x" + std::to_string(options.height),
            "-framerate",
            std::to_string(options.fps),
            "-i",
            "pipe:0"};
        if (withMusic) {
            if (options.from > 0 && options.shots.empty()) {
                char offset[32];
                std::snprintf(offset, sizeof offset, "%.3f", options.from / 1000.0);
                a.insert(a.end(), {"-ss", offset});
            }
            // The picture sets the length: a shorter sound is padded with
            // silence, as in real-time play, and a longer one cut.
            a.insert(a.end(), {"-i", asFile(musicPath), "-map", "0:v", "-map", "1:a", "-af", "apad",
                               "-shortest"});
        }
        a.insert(a.end(), {"-vf", "vflip"});
        if (webm) {
            a.insert(a.end(), {"-c:v", "libvpx-vp9", "-b:v", "0", "-crf", "30", "-row-mt", "1"});
            if (withMusic) {
                a.insert(a.end(), {"-c:a", "libopus", "-b:a", "160k"});
            }
        } else {
            // The grain over every frame is noise, which costs x264 dearly
            // and which its slower presets spend their time on in vain:
            // ultrafast at quality 14 keeps SSIM above 0.98 on every effect
            // for about 3 ms a frame (bench/capture/encoders.sh), where fast
            // at 18 took 14 to 21 ms and fell to 0.97.
            a.insert(a.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "14"});
            if (withMusic) {
                a.insert(a.end(), {"-c:a", "aac", "-b:a", "192k"});
            }
        }
        // Same command, same bytes: no encoder tags, dates or metadata.
        a.insert(a.end(),
                 {"-pix_fmt", "yuv420p", "-map_metadata", "-1", "-fflags", "+bitexact", "-flags:v",
                  "+bitexact", "-flags:a", "+bitexact", asFile(options.output)});
        return a;
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
                std::this_thread::sleep_for(pollStep / 5);
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

std::string frameFileName(SceneTime time) {
    char name[32];
    std::snprintf(name, sizeof name, "%06u.png", time);
    return name;
}

std::unique_ptr<FrameWriter> makeFrameWriter(const CaptureOptions& options,
                                             const std::string& musicPath) {
    if (isVideoOutput(options.output)) {
        return std::make_unique<VideoWriter>(options, musicPath);
    }
    return std::make_unique<PngDirectoryWriter>(options);
}
