#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Screen size and mode, set from the command line before the window exists.
struct RenderConfig {
    int32_t width = 640;
    int32_t height = 480;
    int32_t fullscreen = 1;
};

extern RenderConfig renderConfig;

// Applies the one-letter options. The tokens are the command line joined with
// single spaces and cut at spaces only (a tab stays inside a token). Each token
// is lower-cased and judged by its first character. Returns true when a "?"
// token asks for the help box.
bool applyLetterOptions(const std::vector<std::string>& arguments, RenderConfig& config);

// The command line cut into tokens the way the letter options see it.
std::vector<std::string> letterTokens(const std::vector<std::string>& arguments);

extern const char* const helpBoxText;
