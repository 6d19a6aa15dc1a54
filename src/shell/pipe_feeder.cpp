#include "shell/pipe_feeder.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

using SteadyClock = std::chrono::steady_clock;

PipeFeeder::PipeFeeder(int pipe, std::chrono::milliseconds watchdog, SignalCount signalCount)
    : pipe(pipe), watchdog(watchdog), signalCount(signalCount), thread([this] { run(); }) {}

PipeFeeder::~PipeFeeder() {
    giveUp();
    close();
}

PipeFeeder::Push PipeFeeder::push(const std::vector<uint8_t>& frame) {
    std::unique_lock lock(mutex);
    while (!failed && !stalled && queued == buffers.size()) {
        if (signalCount() != 0) {
            return Push::Interrupted;
        }
        changed.wait_for(lock, pollStep);
    }
    if (stalled) {
        return Push::Stalled;
    }
    if (failed) {
        return Push::Failed;
    }
    buffers[(first + queued) % buffers.size()].assign(frame.begin(), frame.end());
    ++queued;
    changed.notify_all();
    return Push::Queued;
}

PipeFeeder::Push PipeFeeder::close(int signalsSeen) {
    {
        std::unique_lock lock(mutex);
        closing = true;
        changed.notify_all();
        while (signalsSeen >= 0 && queued > 0 && !failed && !stalled) {
            if (signalCount() > signalsSeen) {
                abandoned = true;
                break;
            }
            changed.wait_for(lock, pollStep);
        }
    }
    if (thread.joinable()) {
        thread.join();
    }
    if (stalled) {
        return Push::Stalled;
    }
    if (abandoned) {
        return Push::Interrupted;
    }
    return failed ? Push::Failed : Push::Queued;
}

void PipeFeeder::giveUp() {
    std::lock_guard lock(mutex);
    abandoned = true;
    changed.notify_all();
}

// Writes one frame whole. False on a write error, a stall or when told to
// give up.
bool PipeFeeder::writeFrame(const std::vector<uint8_t>& frame) {
    size_t done = 0;
    SteadyClock::time_point progress = SteadyClock::now();
    while (done < frame.size()) {
        if (abandonedNow()) {
            return false;
        }
        const ssize_t wrote = ::write(pipe, frame.data() + done, frame.size() - done);
        if (wrote > 0) {
            done += static_cast<size_t>(wrote);
            progress = SteadyClock::now();
            continue;
        }
        if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (SteadyClock::now() - progress > watchdog) {
            std::lock_guard lock(mutex);
            stalled = true;
            return false;
        }
        pollfd ready{pipe, POLLOUT, 0};
        poll(&ready, 1, static_cast<int>(pollStep.count()));
    }
    return true;
}

bool PipeFeeder::abandonedNow() {
    std::lock_guard lock(mutex);
    return abandoned;
}

void PipeFeeder::run() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return closing || abandoned || queued > 0; });
        if (queued == 0 || abandoned) {
            return;
        }
        const std::vector<uint8_t>& frame = buffers[first];
        lock.unlock();
        const bool written = writeFrame(frame);
        lock.lock();
        --queued;
        first = (first + 1) % buffers.size();
        failed = failed || !written;
        changed.notify_all();
        if (failed) {
            return;
        }
    }
}
