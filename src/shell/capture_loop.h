#pragma once

#include <string>

#include "shell/frame_stats.h"
#include "shell/options.h"

// The demo drawn on a fixed frame step with no clock and no sound, writing
// the frames to options.output. Returns the exit code: 0 when the capture is
// whole, 1 when it failed (the reason in message), 128 + the signal number
// when a signal ended it (message then says where, and what the output holds).
int runCaptureLoop(const CaptureOptions& options, FrameStats* stats, std::string& message);
