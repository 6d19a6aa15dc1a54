#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/render_config.h"
#include "base/scene_time.h"

// Offline capture: the demo drawn at a fixed frame rate into a video or a
// directory of PNG pictures, with no window shown and no sound played.
struct CaptureOptions {
    std::string output;
    int fps = 60;
    int width = 0;  // the size of the frames: --size, else the letters' size
    int height = 0;
    SceneTime from = 0;
    std::optional<SceneTime> to;
    std::vector<SceneTime> shots;  // sorted, without repeats; empty: every frame
    // --force: an existing output file is replaced, and a PNG directory's
    // earlier frames are removed first. Without it either is refused.
    bool force = false;
};

struct ProgramOptions {
    RenderConfig config;
    bool helpBox = false;    // a "?" token
    bool usageText = false;  // --help
    std::optional<CaptureOptions> capture;
    bool stats = false;  // --stats: frame statistics on stderr at the end
    // --av-offset: how much later than the music as the audio path reports it
    // the pictures are shown in play, for hardware that delays one of them more.
    int avOffsetMs = 0;
    std::string error;  // non-empty: the command line was not understood
};

// The sizes --size accepts, on each side.
constexpr int smallestWidth = 64;
constexpr int smallestHeight = 48;
constexpr int largestSide = 16384;

// The range --av-offset accepts, in milliseconds.
constexpr int largestAvOffsetMs = 500;

// Reads the whole command line into a record, then judges it: the first
// refusal found becomes the error. Arguments that begin with "--" are our own
// options; the rest go to the one-letter parser exactly as typed. --size
// replaces the letters' size wherever it stands; w keeps its meaning. A valued
// option given twice takes the last value (every --shots list adds to the shots).
ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments);

extern const char* const usageText;

// Applies the one-letter options. The tokens are the arguments cut at spaces
// only (a tab stays inside a token), as if the command line were one string. Each token
// is lower-cased and judged by its first character. Returns true when a "?"
// token asks for the help box.
bool applyLetterOptions(const std::vector<std::string>& arguments, RenderConfig& config);

// The command line cut into tokens the way the letter options see it.
std::vector<std::string> letterTokens(const std::vector<std::string>& arguments);

extern const char* const helpBoxText;
