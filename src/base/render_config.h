#pragma once

#include <cstdint>

// Screen size and mode, set from the command line before the window exists,
// and the one instance the window and the effects read.
struct RenderConfig {
    int32_t width = 640;
    int32_t height = 480;
    int32_t fullscreen = 1;
};

extern RenderConfig renderConfig;
