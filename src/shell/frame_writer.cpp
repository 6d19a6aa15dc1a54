#include "shell/frame_writer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "media/png_file.h"

extern char** environ;

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class PngDirectoryWriter : public FrameWriter {
public:
    PngDirectoryWriter(const CaptureOptions& options)
        : directory(options.output), width(options.width), height(options.height) {}

    bool open(std::string& error) override {
        std::error_code code;
        std::filesystem::create_directories(directory, code);
        if (code || !std::filesystem::is_directory(directory)) {
            error = "cannot create the capture directory " + directory +
                    (code ? ": " + code.message() : "");
            return false;
        }
        return true;
    }

    bool write(SceneTime time, const std::vector<uint8_t>& rgb, std::string& error) override {
        std::filesystem::path path = std::filesystem::path(directory) / frameFileName(time);
        return writePng(path.string(), width, height, rgb, error);
    }

    bool finish(std::string&) override { return true; }

private:
    std::string directory;
    int width;
    int height;
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

// Hands frames to a pipe from a thread of its own, through a few buffers made
// once, so that drawing the next frame goes on while the encoder takes this
// one: a write to the pipe blocks for as long as ffmpeg's reading thread is
// busy converting the frame before.
class PipeFeeder {
public:
    explicit PipeFeeder(FILE* pipe) : pipe(pipe), thread([this] { run(); }) {}

    ~PipeFeeder() { close(); }

    // Copies the frame into a free buffer, waiting for one when all are
    // queued. False once a write to the pipe has failed.
    bool push(const std::vector<uint8_t>& frame) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return failed || queued < buffers.size(); });
        if (failed) {
            return false;
        }
        buffers[(first + queued) % buffers.size()].assign(frame.begin(), frame.end());
        ++queued;
        changed.notify_all();
        return true;
    }

    // Waits until every queued frame is in the pipe. False when any failed.
    bool close() {
        {
            std::lock_guard lock(mutex);
            closing = true;
            changed.notify_all();
        }
        if (thread.joinable()) {
            thread.join();
        }
        return !failed;
    }

private:
    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return closing || queued > 0; });
            if (queued == 0) {
                return;
            }
            const std::vector<uint8_t>& frame = buffers[first];
            lock.unlock();
            const bool written = std::fwrite(frame.data(), 1, frame.size(), pipe) == frame.size();
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

    FILE* pipe;
    std::mutex mutex;
    std::condition_variable changed;
    // A ring of three buffers: one being written to the pipe, two drawn ahead.
    // The queued frames are the `queued` buffers from `first` on.
    std::array<std::vector<uint8_t>, 3> buffers;
    size_t first = 0;
    size_t queued = 0;
    bool closing = false;
    bool failed = false;
    std::thread thread;
};

// Pipes raw RGB frames into ffmpeg, which flips, encodes and muxes them.
class VideoWriter : public FrameWriter {
public:
    VideoWriter(const CaptureOptions& options, const std::string& musicPath)
        : options(options), musicPath(musicPath) {}

    ~VideoWriter() override {
        std::string ignored;
        closeEncoder(ignored);
    }

    bool open(std::string& error) override {
        if (!findOnPath("ffmpeg")) {
            error =
                "ffmpeg was not found; install it (apt-get install ffmpeg) or capture PNG "
                "pictures into a directory instead";
            return false;
        }
        // Try the output first, so a bad path is reported in our words.
        int probe = ::open(options.output.c_str(), O_WRONLY | O_CREAT, 0644);
        if (probe < 0) {
            error = "cannot write " + options.output + ": " + std::strerror(errno);
            return false;
        }
        ::close(probe);

        std::vector<std::string> arguments = encoderArguments();
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);

        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        int failed = posix_spawnp(&encoder, "ffmpeg", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[0]);
        if (failed != 0) {
            ::close(pipeEnds[1]);
            error = std::string("cannot start ffmpeg: ") + std::strerror(failed);
            return false;
        }
        // A dying encoder must surface as a write error, not kill the demo.
        signal(SIGPIPE, SIG_IGN);
        input = fdopen(pipeEnds[1], "wb");
        if (input == nullptr) {
            ::close(pipeEnds[1]);
            error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
            return false;
        }
        feeder = std::make_unique<PipeFeeder>(input);
        return true;
    }

    bool write(SceneTime, const std::vector<uint8_t>& rgb, std::string& error) override {
        if (!feeder->push(rgb)) {
            error = "ffmpeg stopped taking frames for " + options.output;
            return false;
        }
        return true;
    }

    bool finish(std::string& error) override { return closeEncoder(error); }

private:
    std::vector<std::string> encoderArguments() const {
        const bool withMusic = access(musicPath.c_str(), R_OK) == 0;
        const bool webm = endsWith(options.output, ".webm");
        std::vector<std::string> a = {
            "ffmpeg",
            "-hide_banner",
            "-loglevel",
            "error",
            "-y",
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
            a.insert(a.end(), {"-i", musicPath, "-map", "0:v", "-map", "1:a", "-shortest"});
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
        a.insert(a.end(), {"-pix_fmt", "yuv420p", "-map_metadata", "-1", "-fflags", "+bitexact",
                           "-flags:v", "+bitexact", "-flags:a", "+bitexact", options.output});
        return a;
    }

    bool closeEncoder(std::string& error) {
        if (input == nullptr) {
            return true;
        }
        bool ok = feeder == nullptr || feeder->close();
        feeder.reset();
        ok = std::fclose(input) == 0 && ok;
        input = nullptr;
        int status = 0;
        while (waitpid(encoder, &status, 0) < 0 && errno == EINTR) {
        }
        if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            error = "ffmpeg failed to write " + options.output;
            return false;
        }
        return true;
    }

    CaptureOptions options;
    std::string musicPath;
    pid_t encoder = -1;
    FILE* input = nullptr;
    std::unique_ptr<PipeFeeder> feeder;
};

}  // namespace

bool isVideoOutput(const std::string& output) {
    return endsWith(output, ".mp4") || endsWith(output, ".mkv") || endsWith(output, ".webm");
}

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
