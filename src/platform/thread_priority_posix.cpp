#include <pthread.h>
#include <sched.h>

#include "platform/thread_priority.h"

bool raiseThreadToRealTime() {
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_min(SCHED_RR);
    return pthread_setschedparam(pthread_self(), SCHED_RR, &parameter) == 0;
}
