#include "media/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // Fast compression: a capture writes thousands of these.
    image.flags = PNG_IMAGE_FLAG_FAST;
    // The file is ours to open and close, so that a failed write names the
    // system's reason (a full disk, say) and not only libpng's "Write Error".
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    // A negative stride tells libpng the rows lie bottom row first in memory;
    // the file is stored top row first.
    errno = 0;
    const bool encoded =
        png_image_write_to_stdio(&image, file, 0, rgb.data(), -width * 3, nullptr) != 0;
    const int writeErrno = errno;
    const bool flushed = encoded && std::fflush(file) == 0;
    const int flushErrno = errno;
    const bool closed = std::fclose(file) == 0 && flushed;
    if (closed) {
        return true;
    }
    const int reason = !encoded ? writeErrno : flushErrno != 0 ? flushErrno : errno;
    error = "cannot write " + path + ": " +
            (reason != 0 ? std::strerror(reason) : std::string(image.message));
    std::remove(path.c_str());
    return false;
}
