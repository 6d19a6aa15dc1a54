#include "platform/thread_priority.h"

// SDL already runs its audio thread at THREAD_PRIORITY_TIME_CRITICAL, the
// highest a normal process has.
bool raiseThreadToRealTime() {
    return false;
}
