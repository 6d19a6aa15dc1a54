#include "shell/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <utility>

#include "shell/video_output.h"

const char* const usageText =
    "usage: velmorra [LETTERS] [--size=WxH [--stretch]] [--av-offset=MS] [--stats]\n"
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
    "  --av-offset=MS  show the pictures MS milliseconds later (negative: earlier) than\n"
    "               the music as the audio path reports it, -500 to 500 (default 0);\n"
    "               the pictures follow the music as it is heard\n"
    "  --stats      at the end, frame statistics on stderr: frames drawn, mean frames per\n"
    "               second, median, 99th-percentile and longest frame time, overall and\n"
    "               per scene of the running order; first the depth buffer the demo got\n"
    "               (24 bits asked for, 16 where the driver offers no more); after play\n"
    "               also the clock followed, its latency allowance and the sound's stalls\n"
    "\n"
    "Offline capture (no window, no sound, fixed frame step; frame k is drawn at\n"
    "t = floor(k * 1000 / fps) milliseconds):\n"
    "  --capture=OUT  OUT ending in .mp4, .mkv or .webm: a video made with ffmpeg, with\n"
    "                 data/music.mp3 as its soundtrack; anything else: a directory that\n"
    "                 receives one PNG per frame, named by its time (061500.png)\n"
    "  --fps=N        frames per second (default 60)\n"
    "  --from=MS      write no frame before this time (earlier frames are still drawn)\n"
    "  --to=MS        write no frame after this time and stop there\n"
    "  --shots=MS,..  write only these times (not with --from or --to)\n"
    "  --force        replace an existing output file, or the earlier frames of a PNG\n"
    "                 directory, once the capture is complete (without it both are\n"
    "                 refused)\n"
    "  --help         this text\n"
    "\n"
    "A capture appears whole or not at all; a video needs an even width and height.\n"
    "Exit codes: 0 done, 1 failed (with a message), 2 command line refused,\n"
    "128+N ended by signal N.\n";

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

namespace {

// The command line as typed, before anything in it is judged: the letter
// words, each valued long option's arguments in order (the whole argument, so
// a message can quote it), and the flags.
struct CommandLine {
    std::vector<std::string> letters;
    std::vector<std::string> capture, fps, from, to, shots, size, avOffset;
    bool help = false;
    bool force = false;
    bool stats = false;
    bool stretch = false;
    std::string unknown;  // the first argument that names no option
};

// A long option either takes "=VALUE" (values) or stands alone (flag).
struct LongOption {
    std::string_view name;
    std::vector<std::string> CommandLine::*values;
    bool CommandLine::*flag;
};

constexpr LongOption longOptions[] = {
    {"--capture", &CommandLine::capture, nullptr},    {"--fps", &CommandLine::fps, nullptr},
    {"--from", &CommandLine::from, nullptr},          {"--to", &CommandLine::to, nullptr},
    {"--shots", &CommandLine::shots, nullptr},        {"--size", &CommandLine::size, nullptr},
    {"--av-offset", &CommandLine::avOffset, nullptr}, {"--help", nullptr, &CommandLine::help},
    {"--force", nullptr, &CommandLine::force},        {"--stats", nullptr, &CommandLine::stats},
    {"--stretch", nullptr, &CommandLine::stretch},
};

CommandLine readCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (const std::string& argument : arguments) {
        std::string_view text = argument;
        if (text.substr(0, 2) != "--") {
            line.letters.push_back(argument);
            continue;
        }
        const size_t equals = text.find('=');
        const std::string_view name = text.substr(0, equals);
        const LongOption* option = nullptr;
        for (const LongOption& candidate : longOptions) {
            // A flag given a value is no option of ours.
            if (candidate.name == name && (candidate.values || equals == std::string_view::npos)) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            if (line.unknown.empty()) {
                line.unknown = argument;
            }
        } else if (option->values) {
            (line.*(option->values)).push_back(argument);
        } else {
            line.*(option->flag) = true;
        }
    }
    return line;
}

// What follows the "=" of an argument; empty when there is none.
std::string_view valueOf(const std::string& argument) {
    const size_t equals = argument.find('=');
    return equals == std::string::npos ? std::string_view()
                                       : std::string_view(argument).substr(equals + 1);
}

std::string unreadable(const std::string& argument) {
    return "cannot read option '" + argument + "'";
}

// Reads every value of a numeric option; the last one counts. Returns the
// refusal of the first that is not a number within [lowest, highest].
std::string judgeNumbers(const std::vector<std::string>& arguments, uint32_t lowest,
                         uint32_t highest, uint32_t& value) {
    for (const std::string& argument : arguments) {
        if (!parseUnsigned(valueOf(argument), value) || value < lowest || value > highest) {
            return unreadable(argument);
        }
    }
    return {};
}

// Whole milliseconds, with an optional sign, within the offset's range.
std::string judgeAvOffset(const std::vector<std::string>& arguments, int& offsetMs) {
    for (const std::string& argument : arguments) {
        std::string_view text = valueOf(argument);
        if (!text.empty() && text.front() == '+') {
            text.remove_prefix(1);
            if (!text.empty() && text.front() == '-') {
                text = {};  // "+-5" is no number
            }
        }
        int value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
            value < -largestAvOffsetMs || value > largestAvOffsetMs) {
            return "cannot read option '" + argument + "': milliseconds from " +
                   std::to_string(-largestAvOffsetMs) + " to " + std::to_string(largestAvOffsetMs);
        }
        offsetMs = value;
    }
    return {};
}

std::string judgeSizes(const std::vector<std::string>& arguments,
                       std::optional<std::pair<int, int>>& size) {
    for (const std::string& argument : arguments) {
        int width = 0;
        int height = 0;
        const SizeReading reading = parseSize(valueOf(argument), width, height);
        if (reading == SizeReading::OutOfRange) {
            return "size out of range in '" + argument + "': from " +
                   std::to_string(smallestWidth) + "x" + std::to_string(smallestHeight) + " to " +
                   std::to_string(largestSide) + "x" + std::to_string(largestSide);
        }
        if (reading == SizeReading::Malformed) {
            return unreadable(argument);
        }
        size = {width, height};
    }
    return {};
}

// The capture's own values; every --shots list adds to the shots.
std::string judgeCaptureValues(const CommandLine& line, CaptureOptions& capture) {
    for (const std::string& argument : line.capture) {
        capture.output = std::string(valueOf(argument));
        if (capture.output.empty()) {
            return unreadable(argument);
        }
    }
    uint32_t fps = static_cast<uint32_t>(capture.fps);
    uint32_t to = 0;
    std::string refusal = judgeNumbers(line.fps, 1, 1000, fps);
    if (refusal.empty()) {
        refusal = judgeNumbers(line.from, 0, UINT32_MAX, capture.from);
    }
    if (refusal.empty()) {
        refusal = judgeNumbers(line.to, 0, UINT32_MAX, to);
    }
    for (const std::string& argument : line.shots) {
        if (refusal.empty() && !parseShots(valueOf(argument), capture.shots)) {
            refusal = unreadable(argument);
        }
    }
    capture.fps = static_cast<int>(fps);
    if (!line.to.empty()) {
        capture.to = to;
    }
    return refusal;
}

// A video must suit ffmpeg and the yuv420p pictures every player takes, which
// halve the colour resolution on both axes: an odd side is refused before
// anything is drawn or removed, rather than padded into a picture of another
// size than asked for.
std::string judgeVideoSize(const std::string& output, const RenderConfig& config) {
    if (!isVideoOutput(output)) {
        return {};
    }
    const std::string size = std::to_string(config.width) + "x" + std::to_string(config.height);
    if (!videoSizeFits(config.width, config.height)) {
        return "a video cannot be " + size + ": " + videoSizeLimitText +
               "; PNG pictures take any size";
    }
    if (config.width % 2 != 0 || config.height % 2 != 0) {
        return "a video cannot be " + size + ": its width and height must be even (try " +
               std::to_string(config.width & ~1) + "x" + std::to_string(config.height & ~1) +
               "); PNG pictures take any size";
    }
    return {};
}

// The refusals that weigh one option against another, once each is read.
std::string judgeCaptureTogether(const CommandLine& line, const CaptureOptions& capture,
                                 const RenderConfig& config) {
    const bool tuned = !line.fps.empty() || !line.from.empty() || !line.to.empty() ||
                       !line.shots.empty() || line.force;
    if (line.capture.empty()) {
        return tuned ? "--fps, --from, --to, --shots and --force need --capture=OUT" : "";
    }
    if (!line.avOffset.empty()) {
        return "--av-offset is for play: a capture plays no sound";
    }
    if (capture.to && *capture.to < capture.from) {
        return "--to is earlier than --from";
    }
    if (capture.from > demoEndTime) {
        // Nothing would be written: refused before any file is made.
        return "--from=" + std::to_string(capture.from) + " lies after the end of the demo (" +
               std::to_string(demoEndTime) + " ms)";
    }
    if (!line.shots.empty() && (!line.from.empty() || !line.to.empty())) {
        // A shot is a time of its own: a range beside it would be ignored.
        return "--shots cannot go with --from or --to";
    }
    if (!capture.shots.empty() && capture.shots.back() > demoEndTime) {
        const auto late = std::upper_bound(capture.shots.begin(), capture.shots.end(), demoEndTime);
        return "shot " + std::to_string(*late) + " lies after the end of the demo (" +
               std::to_string(demoEndTime) + " ms)";
    }
    return judgeVideoSize(capture.output, config);
}

}  // namespace

ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments) {
    const CommandLine line = readCommandLine(arguments);
    ProgramOptions options;
    if (!line.unknown.empty()) {
        options.error = "unknown option '" + line.unknown + "'";
        return options;
    }
    std::optional<std::pair<int, int>> size;
    CaptureOptions capture;
    options.error = judgeSizes(line.size, size);
    if (options.error.empty()) {
        options.error = judgeCaptureValues(line, capture);
    }
    if (options.error.empty()) {
        options.error = judgeAvOffset(line.avOffset, options.avOffsetMs);
    }
    if (!options.error.empty()) {
        return options;
    }
    options.usageText = line.help;
    options.stats = line.stats;
    capture.force = line.force;
    options.helpBox = applyLetterOptions(line.letters, options.config);
    if (size) {
        options.config.width = size->first;
        options.config.height = size->second;
        options.config.keepFourByThree = !line.stretch;
    }
    options.error = judgeCaptureTogether(line, capture, options.config);
    if (!line.capture.empty()) {
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
    std::vector<std::string> tokens;
    for (const std::string& argument : arguments) {
        size_t position = 0;
        while ((position = argument.find_first_not_of(' ', position)) != std::string::npos) {
            const size_t end = std::min(argument.find(' ', position), argument.size());
            tokens.push_back(argument.substr(position, end - position));
            position = end;
        }
    }
    return tokens;
}

namespace {

struct LetterSize {
    char letter;
    int width;
    int height;
};

constexpr LetterSize letterSizes[] = {{'a', 800, 600}, {'b', 1024, 768}, {'c', 1280, 1024}};

}  // namespace

bool applyLetterOptions(const std::vector<std::string>& arguments, RenderConfig& config) {
    for (const std::string& token : letterTokens(arguments)) {
        const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(token[0])));
        if (letter == '?') {
            return true;
        }
        if (letter == 'w') {
            config.fullscreen = 0;
        }
        for (const LetterSize& size : letterSizes) {
            if (size.letter == letter) {
                config.width = size.width;
                config.height = size.height;
            }
        }
    }
    return false;
}
