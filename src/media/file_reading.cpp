#include "media/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace {

// Closes the descriptor on every way out.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

}  // namespace

std::unique_ptr<uint8_t[]> readWholeFile(const std::string& path, size_t& size, size_t maxBytes) {
    size = 0;
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never
    // come; with it the open returns at once and fstat below refuses the FIFO.
    // Reads from a regular file are not affected by the flag.
    FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) {
        return nullptr;
    }
    // The length comes from the file system rather than a seek: a directory or
    // a device would otherwise report a nonsense length and be "read".
    struct stat status {};
    if (fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        return nullptr;
    }
    const auto length = static_cast<size_t>(status.st_size);
    if (length == 0 || length > maxBytes) {
        return nullptr;
    }

    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[length]);
    if (!buffer) {
        return nullptr;
    }
    size_t done = 0;
    while (done < length) {
        const ssize_t got = read(file.fd, buffer.get() + done, length - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            // The file shrank or the device failed: refuse what was read.
            return nullptr;
        }
        done += static_cast<size_t>(got);
    }
    size = length;
    return buffer;
}

bool canOpenFile(const std::string& path) {
    const FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    return file.fd >= 0;
}
