#pragma once

// The signals that would end the process by default and can be caught (INT,
// TERM, HUP, QUIT, PIPE, USR1, USR2, ALRM and the like, the real-time ones
// too) are turned into a request to stop: the main loop and every blocking
// wait check it, so that the display mode is given back and a capture
// finishes its file before the process exits with 128 + the signal number.
// A signal that was ignored when the demo started (nohup, trap '' HUP) stays
// ignored. Faults (SEGV, BUS, FPE, ILL, ABRT, TRAP, SYS) keep their default.

// Installs the handlers and keeps SDL from installing its own (which would
// turn INT and TERM into a quit event, indistinguishable from Escape). Call
// before SDL is initialised and before any thread starts.
void catchEndingSignals();

// A write to a closed pipe from the calling thread fails with EPIPE instead
// of raising SIGPIPE: for a thread that feeds another program, whose end is
// a write error, not a request to stop the demo.
void keepBrokenPipesInThisThread();

// The first signal caught, or 0 when none was.
int caughtSignal();

// How many ending signals have been caught so far: a wait that already
// honoured one can give up at the next.
int caughtSignalCount();
