// The program's and the media's directories, and the paths of media names
// under them: the same on every platform, written with the platform's own
// separator (platform/path_style.h). Finding the executable is the platform's.
#include <algorithm>
#include <string>

#include "platform/path_style.h"
#include "platform/program_directory.h"

namespace {

const std::string mediaPrefix = std::string("data") + pathSeparator;

std::string directory = std::string(".") + pathSeparator;
std::string media = directory + mediaPrefix;

}  // namespace

const std::string& programDirectory() {
    return directory;
}

const std::string& mediaDirectory() {
    return media;
}

void useMediaDirectory(std::string_view newMedia) {
    media.assign(newMedia);
}

std::string directoryOf(std::string_view path) {
    const size_t cut = path.find_last_of(pathSeparators);
    if (cut == std::string_view::npos) {
        return std::string(".") + pathSeparator;
    }
    return std::string(path.substr(0, cut + 1));
}

void setProgramDirectory(std::string_view newDirectory) {
    directory.assign(newDirectory);
    if (directory.empty()) {
        directory = std::string(".") + pathSeparator;
    } else if (std::string_view(pathSeparators).find(directory.back()) == std::string_view::npos) {
        directory.push_back(pathSeparator);
    }
    media = directory + mediaPrefix;
}

std::string dataPath(std::string_view name) {
    // Media names are written with either separator; only the name is turned,
    // never the directories, where on Linux a '\' is an ordinary character.
    std::string turned(name);
    std::replace(turned.begin(), turned.end(), '\\', pathSeparator);
    std::replace(turned.begin(), turned.end(), '/', pathSeparator);
    if (turned.starts_with(mediaPrefix)) {
        return media + turned.substr(mediaPrefix.size());
    }
    return directory + turned;
}
