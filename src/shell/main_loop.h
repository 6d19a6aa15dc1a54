#pragma once

#include <string>

#include "shell/frame_stats.h"
#include "shell/options.h"

// The exit code of a run ended by a caught signal (platform/interrupt.h).
int interruptedExitCode(int signalNumber);

// The real-time loop: draws, presents and reads the clock until Escape, the
// first frame drawn after the demo's end, or a caught signal. Skipped when
// Escape came during start-up. stats, when given, records every presented
// frame. Returns the exit code: 0, or 128 + the signal number.
int runMainLoop(FrameStats* stats);

// The same loop on a fixed frame step, writing the frames to options.output.
// Returns the exit code: 0 when the capture is whole, 1 when it failed (the
// reason in message), 128 + the signal number when a signal ended it (message
// then says where, and what the output holds).
int runCaptureLoop(const CaptureOptions& options, FrameStats* stats, std::string& message);
