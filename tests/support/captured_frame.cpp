#include "support/captured_frame.h"

#include <png.h>

std::vector<uint8_t> CapturedFrame::at(int x, int yFromBottom) const {
    const size_t row = static_cast<size_t>(height - 1 - yFromBottom);
    const size_t offset = (row * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return {rgb[offset], rgb[offset + 1], rgb[offset + 2]};
}

bool readCapturedFrame(const std::string& path, CapturedFrame& frame) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    frame.width = static_cast<int>(image.width);
    frame.height = static_cast<int>(image.height);
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr) != 0;
}
