#pragma once

#include <cstdint>

// Screen size and mode, set from the command line before the window exists,
// and the one instance the window and the effects read.
struct RenderConfig {
    int32_t width = 640;
    int32_t height = 480;
    int32_t fullscreen = 1;
    // Draw in the largest 4:3 area centred in the frame, with black bars
    // round it (--size without --stretch); otherwise the whole frame.
    bool keepFourByThree = false;
};

extern RenderConfig renderConfig;

// The rectangle of the frame the demo draws in, in window coordinates
// (origin bottom left, as glViewport and glScissor take them).
struct FrameArea {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The whole frame, or with keepFourByThree its largest centred 4:3 area: the
// pictures and effects were framed for 4:3 screens, and a wider or taller
// frame would stretch them out of shape.
FrameArea frameArea(const RenderConfig& config);
