#include "shell/video_output.h"

#include <cstdint>

const char* const videoSizeLimitText =
    "ffmpeg takes no frame whose (width + 128) x (height + 128) reaches 268435455 pixels "
    "(16255x16255 at the most for a square)";

bool videoSizeFits(int width, int height) {
    constexpr int64_t limit = INT32_MAX / 8;
    return (int64_t{width} + 128) * (int64_t{height} + 128) < limit;
}

bool isVideoOutput(const std::string& output) {
    for (const char* suffix : {".mp4", ".mkv", ".webm"}) {
        const std::string tail(suffix);
        if (output.size() >= tail.size() &&
            output.compare(output.size() - tail.size(), tail.size(), tail) == 0) {
            return true;
        }
    }
    return false;
}
