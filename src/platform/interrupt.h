#pragma once

// The signals that would end the process by default and can be caught (INT,
// TERM, HUP, QUIT, USR1, USR2, ALRM and the like, the real-time ones too) are
// turned into a request to stop: the main loop and every blocking wait check
// it, so that the display mode is given back and a capture finishes its file
// before the process exits with 128 + the signal number. Faults (SEGV, BUS,
// FPE, ILL, ABRT, TRAP, SYS) keep their default, and SIGPIPE stays a write
// error for the code that writes.

// Installs the handlers and keeps SDL from installing its own (which would
// turn INT and TERM into a quit event, indistinguishable from Escape). Call
// before SDL is initialised.
void catchEndingSignals();

// The first signal caught, or 0 when none was.
int caughtSignal();

// How many ending signals have been caught so far: a wait that already
// honoured one can give up at the next.
int caughtSignalCount();
