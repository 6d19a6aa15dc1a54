#include "platform/thread_priority.h"

// The browser mixes on its own audio callback; a page has no threads to raise.
bool raiseThreadToRealTime() {
    return false;
}
