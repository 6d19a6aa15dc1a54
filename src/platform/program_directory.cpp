#include "platform/program_directory.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

std::string directory = "./";

}  // namespace

const std::string& programDirectory() {
    return directory;
}

std::string directoryOf(std::string_view path) {
    size_t cut = path.rfind('/');
    if (cut == std::string_view::npos) {
        return "./";
    }
    return std::string(path.substr(0, cut + 1));
}

void setProgramDirectory(std::string_view newDirectory) {
    directory.assign(newDirectory);
    if (directory.empty()) {
        directory = "./";
    } else if (directory.back() != '/') {
        directory.push_back('/');
    }
}

bool locateProgramDirectory() {
    // readlink does not say how long the target is, so grow until it fits.
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return false;
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            setProgramDirectory(directoryOf(std::string_view(buffer.data(), length)));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string dataPath(std::string_view name) {
    // Only the media name is written with '\' by the demo itself; on Linux a
    // '\' in the program directory is an ordinary character of a file name.
    std::string turned(name);
    std::replace(turned.begin(), turned.end(), '\\', '/');
    return directory + turned;
}
