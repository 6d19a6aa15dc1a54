#include "media/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/file_opening.h"

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // Fast compression: a capture writes thousands of these.
    image.flags = PNG_IMAGE_FLAG_FAST;
    // The file is opened here rather than by libpng, which would take the
    // name in the local code page on Windows.
    std::FILE* file = openFileForWriting(path);
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    // A negative stride tells libpng the rows lie bottom row first in memory;
    // the file is stored top row first.
    bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), -width * 3, nullptr) != 0;
    if (!written) {
        error = "cannot write " + path + ": " + image.message;
    } else if (std::fflush(file) != 0 || std::ferror(file) != 0) {
        written = false;
        error = "cannot write " + path + ": " + std::strerror(errno);
    }
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = "cannot write " + path + ": " + std::strerror(errno);
    }
    // No half-written picture is left behind.
    if (!written) {
        std::error_code ignored;
        std::filesystem::remove(pathFromUtf8(path), ignored);
    }
    return written;
}
