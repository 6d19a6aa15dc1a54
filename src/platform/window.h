#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/render_config.h"

// The last key pressed, as a virtual-key code (27 for Escape). Closing the
// window also stores 27, so every way out ends the main loop the same way.
extern int32_t lastKey;
constexpr int32_t escapeKey = 27;

// The fullscreen sizes of the first display at full colour, as "WxH", largest
// first and each once. Needs SDL's video subsystem.
std::vector<std::string> offeredFullscreenSizes();

// Opens the "velmorra" window of the config's size with a double-buffered
// RGBA context (16 depth bits) current on it. In fullscreen the display is
// switched to width x height at 32 bits per pixel first. Returns false when any
// step fails; a failed GL context shows its own message first, and a
// fullscreen size the display does not offer writes the offered sizes to
// stderr.
bool createDemoWindow(const RenderConfig& config);

// Gives the display mode back and destroys the window. Safe to call twice.
void destroyDemoWindow();

// glFinish, glFlush, swap, then handles at most one pending event.
void presentFrame();

// Cursor visibility over the demo window.
void hideCursor();
void showCursor();

// Reads the back buffer (bottom row first, RGB) for offline capture.
void readBackBuffer(int width, int height, std::vector<uint8_t>& rgb);

// Maps an SDL key code onto the virtual-key codes the demo compares with.
int32_t virtualKeyCode(int32_t sdlKey);
