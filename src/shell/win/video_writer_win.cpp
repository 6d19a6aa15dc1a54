// Video capture on Windows is not built yet: the POSIX writer runs ffmpeg
// through posix_spawn and a non-blocking pipe, which Windows has neither of.
// A video name is refused before anything is drawn or written, with the way
// out; the PNG directory writer is the same as on Linux.
#include <windows.h>

#include <string>

#include "shell/frame_writer.h"

namespace {

// Whether ffmpeg.exe lies in one of PATH's folders (only PATH, unlike
// SearchPathW, which also looks in the program's and the current folder).
bool ffmpegOnPath() {
    const DWORD length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (length == 0) {
        return false;
    }
    std::wstring list(length, L'\0');
    list.resize(GetEnvironmentVariableW(L"PATH", list.data(), length));
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) {
            end = list.size();
        }
        std::wstring folder = list.substr(start, end - start);
        start = end + 1;
        // Entries may be quoted when they hold a ';'.
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        if (folder.empty()) {
            continue;
        }
        if (folder.back() != L'\\' && folder.back() != L'/') {
            folder.push_back(L'\\');
        }
        const DWORD attributes = GetFileAttributesW((folder + L"ffmpeg.exe").c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return true;
        }
    }
    return false;
}

class RefusedVideoWriter : public FrameWriter {
public:
    explicit RefusedVideoWriter(std::string reason) : reason(std::move(reason)) {}

    bool open(std::string& error) override {
        error = reason;
        return false;
    }
    bool write(SceneTime, const std::vector<uint8_t>&, std::string& error) override {
        error = reason;
        return false;
    }
    bool finish(std::string&) override { return true; }

private:
    std::string reason;
};

}  // namespace

std::unique_ptr<FrameWriter> makeVideoWriter(const CaptureOptions&, const std::string&) {
    if (!ffmpegOnPath()) {
        return std::make_unique<RefusedVideoWriter>(
            "ffmpeg.exe not found on PATH: capture to a directory of PNGs instead");
    }
    return std::make_unique<RefusedVideoWriter>(
        "this Windows build makes no video: capture to a directory of PNGs instead");
}
