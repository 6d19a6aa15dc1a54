#include "platform/program_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

// The media directory of an installed demo relative to its executable's
// directory, set by the build from the install directories.
#ifndef VELMORRA_INSTALLED_MEDIA
#error "VELMORRA_INSTALLED_MEDIA must name the installed media relative to the executable"
#endif

namespace {

constexpr std::string_view mediaPrefix = "data/";

std::string directory = "./";
std::string media = "./data/";

bool isDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

const std::string& programDirectory() {
    return directory;
}

const std::string& mediaDirectory() {
    return media;
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
    media = directory + std::string(mediaPrefix);
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
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    // data/ beside the executable is the build tree; without it the demo runs
    // from an installed tree and its media lie where the install put them.
    const std::string installed = directory + VELMORRA_INSTALLED_MEDIA;
    if (!isDirectory(media) && isDirectory(installed)) {
        media = installed;
    }
    return true;
}

std::string dataPath(std::string_view name) {
    // Only the media name is written with '\' by the demo itself; on Linux a
    // '\' in a directory is an ordinary character of a file name.
    std::string turned(name);
    std::replace(turned.begin(), turned.end(), '\\', '/');
    if (turned.starts_with(mediaPrefix)) {
        return media + turned.substr(mediaPrefix.size());
    }
    return directory + turned;
}
