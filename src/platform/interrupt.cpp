#include "platform/interrupt.h"

#include <SDL.h>
#include <signal.h>

#include <atomic>

namespace {

std::atomic<int> firstSignal{0};
std::atomic<int> signalCount{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the handler may only touch lock-free atomics");

void onEndingSignal(int number) {
    int none = 0;
    firstSignal.compare_exchange_strong(none, number);
    signalCount.fetch_add(1);
}

// The signals whose default action ends the process, apart from faults and
// SIGPIPE; SIGKILL and SIGSTOP cannot be caught at all.
constexpr int endingSignals[] = {SIGHUP,    SIGINT,  SIGQUIT, SIGUSR1,   SIGUSR2, SIGALRM, SIGTERM,
                                 SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR};

}  // namespace

void catchEndingSignals() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the waits that must end poll the flag.
    action.sa_flags = SA_RESTART;
    for (int number : endingSignals) {
        sigaction(number, &action, nullptr);
    }
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number) {
        sigaction(number, &action, nullptr);
    }
}

int caughtSignal() {
    return firstSignal.load();
}

int caughtSignalCount() {
    return signalCount.load();
}
