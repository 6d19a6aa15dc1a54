#pragma once

#include <cstdint>
#include <string>

// Whether an encoder is still getting somewhere: the CPU time its process
// group has spent, or the size of its output, changed since the last look.
// A slow encoder flushing its last frames writes nothing for minutes but
// keeps its cores busy; a stuck one does neither.
class EncoderProgress {
public:
    EncoderProgress(int processGroup, std::string output);
    // True when something changed since the last call (or since made).
    bool advanced();

private:
    int group;
    std::string output;
    uint64_t cpuTicks;
    int64_t outputSize;
};

// The CPU time, in clock ticks, of the live processes of a process group and
// of the children they have reaped.
uint64_t processGroupCpuTicks(int processGroup);
