#include "shell/encoder_arguments.h"

#include <cstdio>

namespace {

// ffmpeg takes any name as a URL or an option ("pipe:1.mkv", "-x.mp4");
// the file: prefix makes it a plain file name.
std::string asFile(const std::string& path) {
    return "file:" + path;
}

}  // namespace

std::vector<std::string> encoderArguments(const CaptureOptions& options,
                                          const std::string& musicPath, bool withMusic) {
    const bool webm = options.output.ends_with(".webm");
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
    a.insert(a.end(), {"-pix_fmt", "yuv420p", "-map_metadata", "-1", "-fflags", "+bitexact",
                       "-flags:v", "+bitexact", "-flags:a", "+bitexact", asFile(options.output)});
    return a;
}
