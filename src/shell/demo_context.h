#pragma once

#include <string>

#include "base/render_config.h"

// Where the demo draws: a window on the screen, or SDL's offscreen driver
// (EGL on Mesa) with the dummy audio driver and no dialogs, for captures,
// tests and benchmarks that run without a display or a sound card.
enum class DemoDisplay { Screen, Headless };

// The start-up every run shares: the allocator setting, the window and GL
// context of the config's size, the extension entry points (the demo refuses
// to run without them) and the initial GL state. Returns an empty string when
// the context is ready, else the message to show; the window is gone then.
std::string openDemoContext(const RenderConfig& config, DemoDisplay display);
