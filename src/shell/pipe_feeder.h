#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Hands frames to a pipe from a thread of its own, through a few buffers made
// once, so that drawing the next frame goes on while the encoder takes this
// one. The pipe must not block: the thread waits on it in short steps, so a
// reader that stops reading is noticed by the watchdog and the thread can be
// told to give up.
class PipeFeeder {
public:
    enum class Push { Queued, Failed, Stalled, Interrupted };
    // How many ending signals have come so far (caughtSignalCount in the demo).
    using SignalCount = int (*)();

    // How often a wait looks at the signal count and the watchdog.
    static constexpr std::chrono::milliseconds pollStep{50};

    PipeFeeder(int pipe, std::chrono::milliseconds watchdog, SignalCount signalCount);
    ~PipeFeeder();
    PipeFeeder(const PipeFeeder&) = delete;
    PipeFeeder& operator=(const PipeFeeder&) = delete;

    // Copies the frame into a free buffer, waiting for one when all are
    // queued. Gives up when the pipe failed or stalled, or a signal came.
    Push push(const std::vector<uint8_t>& frame);

    // Waits until every queued frame is in the pipe, or the feeder gives up:
    // after the watchdog, or at once on a signal beyond signalsSeen (with
    // signalsSeen below 0 it does not wait for the queued frames at all).
    Push close(int signalsSeen = -1);

    void giveUp();

private:
    bool writeFrame(const std::vector<uint8_t>& frame);
    bool abandonedNow();
    void run();

    int pipe;
    std::chrono::milliseconds watchdog;
    SignalCount signalCount;
    std::mutex mutex;
    std::condition_variable changed;
    // A ring of three buffers: one being written to the pipe, two drawn ahead.
    // The queued frames are the `queued` buffers from `first` on.
    std::array<std::vector<uint8_t>, 3> buffers;
    size_t first = 0;
    size_t queued = 0;
    bool closing = false;
    bool failed = false;
    bool stalled = false;
    bool abandoned = false;
    std::thread thread;
};
