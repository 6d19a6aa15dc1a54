#include "platform/interrupt.h"

#include <SDL.h>
#include <pthread.h>
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

// The signals whose default action ends the process, apart from faults;
// SIGKILL and SIGSTOP cannot be caught at all. SIGPIPE is among them: with
// stderr into `head -1`, the demo must still give the display back.
constexpr int endingSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGPIPE,   SIGUSR1,
                                 SIGUSR2, SIGALRM,   SIGTERM, SIGSTKFLT, SIGXCPU,
                                 SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,     SIGPWR};

// Catches one signal unless whoever started the demo chose to ignore it.
void catchUnlessIgnored(int number, const struct sigaction& action) {
    struct sigaction before {};
    if (sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
        return;
    }
    sigaction(number, &action, nullptr);
}

}  // namespace

void catchEndingSignals() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the waits that must end poll the flag.
    action.sa_flags = SA_RESTART;
    for (int number : endingSignals) {
        catchUnlessIgnored(number, action);
    }
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number) {
        catchUnlessIgnored(number, action);
    }
}

void keepBrokenPipesInThisThread() {
    // SIGPIPE from a write is sent to the writing thread; blocked there it
    // stays pending and is dropped when the thread ends, and write() reports
    // EPIPE.
    sigset_t pipeOnly;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, nullptr);
}

int caughtSignal() {
    return firstSignal.load();
}

int caughtSignalCount() {
    return signalCount.load();
}
