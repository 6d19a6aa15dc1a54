#pragma once

#include <string>

#include "shell/frame_stats.h"
#include "shell/options.h"

// The real-time loop: draws, presents and reads the clock until Escape or the
// first frame drawn after the demo's end. Skipped when Escape came during
// start-up. stats, when given, records every presented frame.
void runMainLoop(FrameStats* stats);

// The same loop on a fixed frame step, writing the frames to options.output.
// Returns false with the reason in error when the frames cannot be written.
bool runCaptureLoop(const CaptureOptions& options, FrameStats* stats, std::string& error);
