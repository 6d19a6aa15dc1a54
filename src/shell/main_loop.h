#pragma once

#include "shell/frame_stats.h"
#include "shell/live_clock.h"

// The exit code of a run ended by a caught signal (platform/interrupt.h).
int interruptedExitCode(int signalNumber);

// The real-time loop: draws, presents and reads the clock until Escape, the
// first frame drawn after the demo's end, or a caught signal. Skipped when
// Escape came during start-up. The clock is started here, so call this right
// after the music was started. stats, when given, records every presented
// frame. Returns the exit code: 0, or 128 + the signal number.
int runMainLoop(LiveClock& clock, FrameStats* stats);
