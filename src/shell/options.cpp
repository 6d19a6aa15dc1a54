#include "shell/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

const char* const usageText =
    "usage: velmorra [LETTERS] [--capture=OUT [--fps=N] [--size=WxH] [--from=MS] [--to=MS]\n"
    "                [--shots=MS,MS,...]]\n"
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
    "Offline capture (no window, no sound, fixed frame step; frame k is drawn at\n"
    "t = floor(k * 1000 / fps) milliseconds):\n"
    "  --capture=OUT  OUT ending in .mp4, .mkv or .webm: a video made with ffmpeg, with\n"
    "                 data/music.mp3 as its soundtrack; anything else: a directory that\n"
    "                 receives one PNG per frame, named by its time (061500.png)\n"
    "  --fps=N        frames per second (default 60)\n"
    "  --size=WxH     capture size (default: the size the letters chose)\n"
    "  --from=MS      write no frame before this time (earlier frames are still drawn)\n"
    "  --to=MS        write no frame after this time and stop there\n"
    "  --shots=MS,..  write only these times\n"
    "  --help         this text\n";

namespace {

bool parseUnsigned(std::string_view text, uint32_t& value) {
    if (text.empty()) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseSize(std::string_view text, int& width, int& height) {
    size_t cross = text.find_first_of("xX");
    uint32_t w = 0;
    uint32_t h = 0;
    if (cross == std::string_view::npos || !parseUnsigned(text.substr(0, cross), w) ||
        !parseUnsigned(text.substr(cross + 1), h)) {
        return false;
    }
    if (w < 1 || h < 1 || w > 8192 || h > 8192) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
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
    bool captureAsked = false;
    bool captureTuned = false;
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
            captureTuned = true;
            understood = parseSize(value, capture.width, capture.height);
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
    if (captureTuned && !captureAsked) {
        options.error = "--fps, --size, --from, --to and --shots need --capture=OUT";
    } else if (capture.to && *capture.to < capture.from) {
        options.error = "--to is earlier than --from";
    }
    if (captureAsked) {
        if (capture.width == 0) {
            capture.width = options.config.width;
            capture.height = options.config.height;
        }
        options.capture = capture;
    }
    return options;
}
