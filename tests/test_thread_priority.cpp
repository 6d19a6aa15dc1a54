#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <thread>

#include "platform/thread_priority.h"

namespace {

// Granted or refused, the answer must be the thread's real policy.
TEST(ThreadPriority, TheAnswerIsTheThreadsPolicy) {
    bool granted = false;
    int policy = -1;
    std::thread audio([&] {
        granted = raiseThreadToRealTime();
        sched_param parameter{};
        pthread_getschedparam(pthread_self(), &policy, &parameter);
    });
    audio.join();
    EXPECT_EQ(policy == SCHED_RR, granted);
}

}  // namespace
