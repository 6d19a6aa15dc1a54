#include "shell/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <utility>

#include "shell/video_output.h"

const char* const usageText =
    "usage: velmorra [LETTERS] [--size=WxH [--stretch]] [--stats]\n"
    "                [--capture=OUT [--fps=N] [--from=MS] [--to=MS] [--shots=MS,MS,...]]\n"
    "\n"
    "Plays the demo: a loading picture, then 131 seconds of effects in time with the music.\n"
    "Escape ends it early.\n"
    "\n"
    "Letters (judged by the first character of each word, later ones win):\n"
    "  a            800 x 600\n"
    "  b            1024 x 768\n"
    "  c            1280 x 1024\n"
    "  w            windowed (the default is fullscreen at 640 x 480)\n"
    "  ?            the help box\n"
    "\n"
    "  --size=WxH   any size from 64x48 to 16384x16384, in place of the letters' size:\n"
    "               the window (with w), the display mode (fullscreen; it must be one the\n"
    "               display offers) or the capture size. The demo draws in the largest\n"
    "               4:3 area centred in it, with black bars\n"
    "  --stretch    with --size, fill the whole frame instead of a 4:3 area\n"
    "  --stats      at the end, frame statistics on stderr: frames drawn, mean frames per\n"
    "               second, median, 99th-percentile and longest frame time, overall and\n"
    "               per scene of the running order; first the depth buffer the demo got\n"
    "               (24 bits asked for, 16 where the driver offers no more)\n"
    "\n"
    "Offline capture (no window, no sound, fixed frame step; frame k is drawn at\n"
    "t = floor(k * 1000 / fps) milliseconds):\n"
    "  --capture=OUT  OUT ending in .mp4, .mkv or .webm: a video made with ffmpeg, with\n"
    "                 data/music.mp3 as its soundtrack; anything else: a directory that\n"
    "                 receives one PNG per frame, named by its time (061500.png)\n"
    "  --fps=N        frames per second (default 60)\n"
    "  --from=MS      write no frame before this time (earlier frames are still drawn)\n"
    "  --to=MS        write no frame after this time and stop there\n"
    "  --shots=MS,..  write only these times\n"
    "  --force        replace an existing output file, or remove the earlier frames\n"
    "                 of a PNG directory first (without it both are refused)\n"
    "  --help         this text\n";

namespace {

bool parseUnsigned(std::string_view text, uint32_t& value) {
    if (text.empty()) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

enum class SizeReading { Read, Malformed, OutOfRange };

// One side of WxH: decimal digits only. A number too large for 32 bits is
// still a number, just out of range.
SizeReading parseSide(std::string_view text, uint32_t& value) {
    if (text.empty()) {
        return SizeReading::Malformed;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size()) {
        return SizeReading::Malformed;
    }
    if (error == std::errc::result_out_of_range) {
        return SizeReading::OutOfRange;
    }
    return error == std::errc() ? SizeReading::Read : SizeReading::Malformed;
}

SizeReading parseSize(std::string_view text, int& width, int& height) {
    size_t cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) {
        return SizeReading::Malformed;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    SizeReading readW = parseSide(text.substr(0, cross), w);
    SizeReading readH = parseSide(text.substr(cross + 1), h);
    if (readW == SizeReading::Malformed || readH == SizeReading::Malformed) {
        return SizeReading::Malformed;
    }
    if (readW == SizeReading::OutOfRange || readH == SizeReading::OutOfRange || w < smallestWidth ||
        h < smallestHeight || w > largestSide || h > largestSide) {
        return SizeReading::OutOfRange;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return SizeReading::Read;
}

bool parseShots(std::string_view text, std::vector<SceneTime>& shots) {
    while (!text.empty()) {
        size_t comma = text.find(',');
        uint32_t shot = 0;
        if (!parseUnsigned(text.substr(0, comma), shot)) {
            return false;
        }
        shots.push_back(shot);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::sort(shots.begin(), shots.end());
    shots.erase(std::unique(shots.begin(), shots.end()), shots.end());
    return !shots.empty();
}

}  // namespace

ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments) {
    ProgramOptions options;
    CaptureOptions capture;
    std::optional<std::pair<int, int>> size;
    bool captureAsked = false;
    bool captureTuned = false;
    bool stretch = false;
    std::vector<std::string> letters;

    for (const std::string& argument : arguments) {
        std::string_view text = argument;
        if (text.substr(0, 2) != "--") {
            letters.push_back(argument);
            continue;
        }
        size_t equals = text.find('=');
        std::string_view name = text.substr(0, equals);
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : text.substr(equals + 1);
        bool hasValue = equals != std::string_view::npos;
        bool understood = true;
        uint32_t number = 0;

        if (name == "--help" && !hasValue) {
            options.usageText = true;
        } else if (name == "--capture") {
            captureAsked = true;
            capture.output = std::string(value);
            understood = !capture.output.empty();
        } else if (name == "--fps") {
            captureTuned = true;
            understood = parseUnsigned(value, number) && number >= 1 && number <= 1000;
            capture.fps = static_cast<int>(number);
        } else if (name == "--size") {
            int width = 0;
            int height = 0;
            SizeReading reading = parseSize(value, width, height);
            if (reading == SizeReading::OutOfRange) {
                options.error = "size out of range in '" + argument + "': from " +
                                std::to_string(smallestWidth) + "x" +
                                std::to_string(smallestHeight) + " to " +
                                std::to_string(largestSide) + "x" + std::to_string(largestSide);
                return options;
            }
            understood = reading == SizeReading::Read;
            size = {width, height};
        } else if (name == "--force" && !hasValue) {
            captureTuned = true;
            capture.force = true;
        } else if (name == "--stats" && !hasValue) {
            options.stats = true;
        } else if (name == "--stretch" && !hasValue) {
            stretch = true;
        } else if (name == "--from") {
            captureTuned = true;
            understood = parseUnsigned(value, number);
            capture.from = number;
        } else if (name == "--to") {
            captureTuned = true;
            understood = parseUnsigned(value, number);
            capture.to = number;
        } else if (name == "--shots") {
            captureTuned = true;
            understood = parseShots(value, capture.shots);
        } else {
            options.error = "unknown option '" + argument + "'";
            return options;
        }
        if (!understood) {
            options.error = "cannot read option '" + argument + "'";
            return options;
        }
    }

    options.helpBox = applyLetterOptions(letters, options.config);
    if (size) {
        options.config.width = size->first;
        options.config.height = size->second;
        options.config.keepFourByThree = !stretch;
    }
    if (captureTuned && !captureAsked) {
        options.error = "--fps, --from, --to, --shots and --force need --capture=OUT";
    } else if (capture.to && *capture.to < capture.from) {
        options.error = "--to is earlier than --from";
    } else if (capture.from > demoEndTime) {
        // Nothing would be written: refused before any file is made.
        options.error = "--from=" + std::to_string(capture.from) +
                        " lies after the end of the demo (" + std::to_string(demoEndTime) + " ms)";
    } else if (!capture.shots.empty() && capture.shots.front() > demoEndTime) {
        options.error =
            "every shot lies after the end of the demo (" + std::to_string(demoEndTime) + " ms)";
    } else if (captureAsked && isVideoOutput(capture.output) &&
               !videoSizeFits(options.config.width, options.config.height)) {
        options.error = "a video cannot be " + std::to_string(options.config.width) + "x" +
                        std::to_string(options.config.height) + ": " + videoSizeLimitText +
                        "; PNG pictures take any size";
    }
    if (captureAsked) {
        capture.width = options.config.width;
        capture.height = options.config.height;
        options.capture = capture;
    }
    return options;
}

const char* const helpBoxText =
    "Pathetic parameters:\nResolution:\na - 800x600\nb - 1024x768\nc - 1280x1024\n\nw - windowed "
    "mode";

std::vector<std::string> letterTokens(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line.push_back(' ');
        }
        line += argument;
    }
    std::vector<std::string> tokens;
    size_t position = 0;
    while (position < line.size()) {
        size_t start = line.find_first_not_of(' ', position);
        if (start == std::string::npos) {
            break;
        }
        size_t end = line.find(' ', start);
        if (end == std::string::npos) {
            end = line.size();
        }
        tokens.push_back(line.substr(start, end - start));
        position = end;
    }
    return tokens;
}

bool applyLetterOptions(const std::vector<std::string>& arguments, RenderConfig& config) {
    for (std::string token : letterTokens(arguments)) {
        for (char& c : token) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        switch (token[0]) {
            case '?':
                return true;
            case 'a':
                config.width = 800;
                config.height = 600;
                break;
            case 'b':
                config.width = 1024;
                config.height = 768;
                break;
            case 'c':
                config.width = 1280;
                config.height = 1024;
                break;
            case 'w':
                config.fullscreen = 0;
                break;
            default:
                break;
        }
    }
    return false;
}
