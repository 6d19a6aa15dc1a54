#include "platform/program_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/path_style.h"

// The media directory of an installed demo relative to its executable's
// directory, set by the build from the install directories.
#ifndef VELMORRA_INSTALLED_MEDIA
#error "VELMORRA_INSTALLED_MEDIA must name the installed media relative to the executable"
#endif

const char pathSeparator = '/';
const char* const pathSeparators = "/";

namespace {

bool isDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

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
    const std::string installed = programDirectory() + VELMORRA_INSTALLED_MEDIA;
    if (!isDirectory(mediaDirectory()) && isDirectory(installed)) {
        useMediaDirectory(installed);
    }
    return true;
}
