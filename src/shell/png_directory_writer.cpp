#include <algorithm>
#include <filesystem>

#include "media/png_file.h"
#include "platform/file_opening.h"
#include "shell/frame_writer.h"

namespace {

// Our own frame names: six or more digits and ".png" (see frameFileName).
bool isFrameFileName(const std::string& name) {
    const size_t digits = name.size() - std::min(name.size(), size_t{4});
    return digits >= 6 && name.ends_with(".png") &&
           std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(digits),
                       [](char c) { return c >= '0' && c <= '9'; });
}

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

    bool open(std::string& error) override {
        std::error_code code;
        std::filesystem::create_directories(directoryPath, code);
        if (code || !std::filesystem::is_directory(directoryPath)) {
            error = "cannot create the capture directory " + directory +
                    (code ? ": " + code.message() : "");
            return false;
        }
        // Frames of an earlier capture would mix with the new ones.
        std::vector<std::filesystem::path> earlier;
        for (const auto& entry : std::filesystem::directory_iterator(directoryPath, code)) {
            if (isFrameFileName(utf8FromPath(entry.path().filename()))) {
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
                error = "cannot remove " + utf8FromPath(path) + ": " + code.message();
                return false;
            }
        }
        return true;
    }

    bool write(SceneTime time, const std::vector<uint8_t>& rgb, std::string& error) override {
        const std::filesystem::path path = directoryPath / frameFileName(time);
        if (writePng(utf8FromPath(path), width, height, rgb, error)) {
            return true;
        }
        // Every picture already there is whole: they are kept.
        error += "; the frames written before it stay in " + directory;
        return false;
    }

    bool finish(std::string&) override { return true; }

private:
    std::string directory;
    std::filesystem::path directoryPath;
    int width;
    int height;
    bool force;
};

}  // namespace

std::unique_ptr<FrameWriter> makePngDirectoryWriter(const CaptureOptions& options) {
    return std::make_unique<PngDirectoryWriter>(options);
}
