#pragma once

#include <string>

#include "shell/options.h"

// The real-time loop: draws, presents and reads the clock until Escape or the
// first frame drawn after the demo's end. Skipped when Escape came during
// start-up.
void runMainLoop();

// The same loop on a fixed frame step, writing the frames to options.output.
// Returns false with the reason in error when the frames cannot be written.
bool runCaptureLoop(const CaptureOptions& options, std::string& error);
