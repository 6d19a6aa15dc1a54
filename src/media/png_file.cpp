#include "media/png_file.h"

#include <png.h>

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // Fast compression: a capture writes thousands of these.
    image.flags = PNG_IMAGE_FLAG_FAST;
    // A negative stride tells libpng the rows lie bottom row first in memory;
    // the file is stored top row first.
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), -width * 3, nullptr) == 0) {
        error = "cannot write " + path + ": " + image.message;
        return false;
    }
    return true;
}
