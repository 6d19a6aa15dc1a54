#include "shell/encoder_progress.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

int64_t fileSize(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<int64_t>(status.st_size) : -1;
}

// The group and the CPU ticks from one /proc/PID/stat line. The command name
// in parentheses may hold spaces, so the fields are counted after its end.
bool readStat(const char* pid, int& group, uint64_t& ticks) {
    std::ifstream file(std::string("/proc/") + pid + "/stat");
    std::string line;
    if (!std::getline(file, line)) {
        return false;
    }
    const size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) {
        return false;
    }
    // Fields from the state (3rd) on: state ppid pgrp ... utime(14) stime
    // cutime cstime (17).
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string value;
    uint64_t sum = 0;
    for (int field = 3; field <= 17 && fields >> value; ++field) {
        if (field == 5) {
            group = std::atoi(value.c_str());
        } else if (field >= 14) {
            sum += std::strtoull(value.c_str(), nullptr, 10);
        }
    }
    ticks = sum;
    return !fields.fail();
}

}  // namespace

uint64_t processGroupCpuTicks(int processGroup) {
    DIR* processes = opendir("/proc");
    if (processes == nullptr) {
        return 0;
    }
    uint64_t total = 0;
    while (const dirent* entry = readdir(processes)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9') {
            continue;
        }
        int group = 0;
        uint64_t ticks = 0;
        if (readStat(entry->d_name, group, ticks) && group == processGroup) {
            total += ticks;
        }
    }
    closedir(processes);
    return total;
}

EncoderProgress::EncoderProgress(int processGroup, std::string output)
    : group(processGroup),
      output(std::move(output)),
      cpuTicks(processGroupCpuTicks(processGroup)),
      outputSize(fileSize(this->output)) {}

bool EncoderProgress::advanced() {
    const uint64_t ticks = processGroupCpuTicks(group);
    const int64_t size = fileSize(output);
    const bool changed = ticks != cpuTicks || size != outputSize;
    cpuTicks = ticks;
    outputSize = size;
    return changed;
}
