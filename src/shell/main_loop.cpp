#include "shell/main_loop.h"

#include "platform/interrupt.h"
#include "platform/window.h"
#include "sequence/timeline.h"

int interruptedExitCode(int signalNumber) {
    return 128 + signalNumber;
}

int runMainLoop(LiveClock& clock, FrameStats* stats) {
    clock.start();
    if (stats != nullptr) {
        stats->start();
    }
    SceneTime t = 0;
    hideCursor();
    // An Escape during start-up: nothing is drawn.
    bool going = lastKey != escapeKey;
    while (going) {
        renderFrame(t);
        presentFrame();
        if (stats != nullptr) {
            stats->framePresented(t);
        }
        // The first frame drawn after the end is the last one.
        going = t <= demoEndTime && lastKey != escapeKey && caughtSignal() == 0;
        t = clock.read();
    }
    return caughtSignal() != 0 ? interruptedExitCode(caughtSignal()) : 0;
}
