#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/output_files.h"

namespace {

std::string temporaryPattern(const std::string& directory, const std::string& stem) {
    return (directory.empty() ? std::string(".") : directory) + "/.velmorra-" + stem + "-XXXXXX";
}

std::string failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string createTemporaryFile(const std::string& directory, const std::string& stem,
                                const std::string& suffix, std::string& error) {
    std::string pattern = temporaryPattern(directory, stem) + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int file = mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (file < 0) {
        error = failure("cannot create a temporary file in", directory.empty() ? "." : directory);
        return "";
    }
    // mkstemp makes the file private; the output gets the mode any new file
    // would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(file, 0666 & ~mask);
    close(file);
    return name.data();
}

std::string createTemporaryDirectory(const std::string& directory, const std::string& stem,
                                     std::string& error) {
    std::string pattern = temporaryPattern(directory, stem);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        error =
            failure("cannot create a temporary directory in", directory.empty() ? "." : directory);
        return "";
    }
    return name.data();
}

Placed putInPlace(const std::string& from, const std::string& to, bool replace,
                  std::string& error) {
    if (replace) {
        if (rename(from.c_str(), to.c_str()) == 0) {
            return Placed::Done;
        }
        error = failure("cannot replace", to);
        return Placed::Failed;
    }
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return Placed::Done;
    }
    // A file system without RENAME_NOREPLACE: link() refuses an existing
    // name just the same, and the temporary name is then dropped.
    if (errno == EINVAL || errno == ENOSYS) {
        if (link(from.c_str(), to.c_str()) == 0) {
            unlink(from.c_str());
            return Placed::Done;
        }
    }
    if (errno == EEXIST) {
        return Placed::NameTaken;
    }
    error = failure("cannot write", to);
    return Placed::Failed;
}

bool DirectoryLock::take(const std::string& directory, std::string& error) {
    release();
    const std::string name = directory + "/.velmorra.lock";
    // The holder removes the file before it lets go, so a lock won on a file
    // that is no longer at the name is worthless: then try again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int file = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (file < 0) {
            error = failure("cannot lock", directory);
            return false;
        }
        if (flock(file, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK;
            error = held ? directory + " is in use by another capture, which holds " + name
                         : failure("cannot lock", directory);
            close(file);
            return false;
        }
        struct stat locked {};
        struct stat named {};
        if (fstat(file, &locked) == 0 && stat(name.c_str(), &named) == 0 &&
            locked.st_ino == named.st_ino && locked.st_dev == named.st_dev) {
            descriptor = file;
            path = name;
            return true;
        }
        close(file);
    }
    error = "cannot lock " + directory + ": its lock file keeps changing";
    return false;
}

void DirectoryLock::release() {
    if (descriptor >= 0) {
        unlink(path.c_str());
        close(descriptor);
        descriptor = -1;
    }
}
