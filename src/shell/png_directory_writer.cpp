#include <algorithm>
#include <filesystem>
#include <set>

#include "media/png_file.h"
#include "platform/file_opening.h"
#include "platform/output_files.h"
#include "shell/frame_writer.h"

namespace fs = std::filesystem;

namespace {

// Our own frame names: six or more digits and ".png" (see frameFileName).
bool isFrameFileName(const std::string& name) {
    const size_t digits = name.size() - std::min(name.size(), size_t{4});
    return digits >= 6 && name.ends_with(".png") &&
           std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(digits),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The frame files in directory. False with error when it cannot be listed:
// an unreadable directory is not an empty one.
bool listFrames(const std::string& directory, std::set<std::string>& frames, std::string& error) {
    std::error_code code;
    fs::directory_iterator entry(pathFromUtf8(directory), code);
    for (; !code && entry != fs::directory_iterator(); entry.increment(code)) {
        const std::string name = utf8FromPath(entry->path().filename());
        if (isFrameFileName(name)) {
            frames.insert(name);
        }
    }
    if (code) {
        error = "cannot list " + directory + ": " + code.message();
        return false;
    }
    return true;
}

// Writes the frames into a temporary directory inside the target and moves
// them into the target at the end, so an earlier capture's frames are only
// touched once this one is done. The target is locked for the whole run.
class PngDirectoryWriter : public FrameWriter {
public:
    // The directory is UTF-8 text; every file-system call gets it as a path
    // made from UTF-8, which on Windows is not what a plain string gives.
    PngDirectoryWriter(const CaptureOptions& options)
        : directory(options.output),
          directoryPath(pathFromUtf8(options.output)),
          width(options.width),
          height(options.height),
          force(options.force) {}

    ~PngDirectoryWriter() override { discard(); }

    bool open(std::string& error) override {
        std::error_code code;
        made = !fs::exists(fs::symlink_status(directoryPath));
        fs::create_directories(directoryPath, code);
        if (code || !fs::is_directory(directoryPath)) {
            error = "cannot create the capture directory " + directory +
                    (code ? ": " + code.message() : "");
            return false;
        }
        if (!lock.take(directory, error) || !listFrames(directory, earlier, error)) {
            return false;
        }
        // Frames of an earlier capture would mix with the new ones.
        if (!earlier.empty() && !force) {
            error = directory + " already holds " + std::to_string(earlier.size()) +
                    " frame(s) of an earlier capture; add --force to replace them";
            return false;
        }
        staging = createTemporaryDirectory(directory, "frames", error);
        return !staging.empty();
    }

    bool write(SceneTime time, const std::vector<uint8_t>& rgb, std::string& error) override {
        const std::string name = frameFileName(time);
        if (!writePng(staging + "/" + name, width, height, rgb, error)) {
            // Named as the frame will be known, not by the temporary directory.
            const size_t at = error.find(staging);
            if (at != std::string::npos) {
                error.replace(at, staging.size(), directory);
            }
            problem = error;
            return false;
        }
        written.push_back(name);
        return true;
    }

    // A finished or interrupted run puts its frames in place, with --force
    // replacing the earlier ones; after a failed write they are kept only
    // where they mix with no earlier frame. No frame at all is a failure.
    bool finish(std::string& error) override {
        const std::string cause = problem.empty() ? "" : problem + "; ";
        std::error_code ignored;
        if (written.empty()) {
            discard();
            if (made) {
                // Made by this run for nothing: gone again.
                lock.release();
                fs::remove(directoryPath, ignored);
            }
            error = cause + "no frame was written; " +
                    (made ? "no " + directory + " was made" : directory + " was left as it was");
            return false;
        }
        if (!problem.empty() && !earlier.empty()) {
            discard();
            error = cause + directory + " was left as it was";
            return false;
        }
        if (!moveFramesInPlace(error)) {
            return false;
        }
        const std::set<std::string> ours(written.begin(), written.end());
        for (const std::string& name : earlier) {
            if (!ours.contains(name)) {
                fs::remove(directoryPath / name, ignored);
            }
        }
        fs::remove(pathFromUtf8(staging), ignored);
        staging.clear();
        lock.release();
        if (!problem.empty()) {
            error = cause + "the frames before it are in " + directory;
            return false;
        }
        return true;
    }

private:
    bool moveFramesInPlace(std::string& error) {
        for (const std::string& name : written) {
            const Placed placed =
                putInPlace(staging + "/" + name, directory + "/" + name, force, error);
            if (placed != Placed::Done) {
                if (placed == Placed::NameTaken) {
                    error = directory + "/" + name + " appeared while this capture ran";
                }
                error += "; the frames not yet moved stay in " + staging;
                staging.clear();
                return false;
            }
        }
        return true;
    }

    void discard() {
        if (!staging.empty()) {
            std::error_code ignored;
            fs::remove_all(pathFromUtf8(staging), ignored);
            staging.clear();
        }
    }

    std::string directory;
    fs::path directoryPath;
    int width;
    int height;
    bool force;
    bool made = false;  // the directory did not exist before this run
    DirectoryLock lock;
    std::set<std::string> earlier;
    std::string staging;  // the temporary directory the frames go to first
    std::vector<std::string> written;
    std::string problem;  // the failed write, for the final message
};

}  // namespace

std::unique_ptr<FrameWriter> makePngDirectoryWriter(const CaptureOptions& options) {
    return std::make_unique<PngDirectoryWriter>(options);
}
