// Feeds arbitrary bytes to the JPEG decoder: it must refuse or decode, never
// crash, leak or overrun, and a decoded picture must match what it claims.
#include <cstdlib>

#include "media/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int width = -1;
    int height = -1;
    int channels = -1;
    const std::unique_ptr<uint8_t[]> pixels = decodeJpeg(width, height, channels, data, size);
    if (!pixels) {
        return 0;
    }
    if (width <= 0 || height <= 0 || width > maxPictureSide || height > maxPictureSide ||
        (channels != 1 && channels != 3)) {
        std::abort();
    }
    // Touch both ends of the buffer: an allocation smaller than the picture
    // shows up here under the address sanitizer.
    const size_t last = static_cast<size_t>(width) * height * channels - 1;
    volatile uint8_t sink = static_cast<uint8_t>(pixels[0] ^ pixels[last]);
    (void)sink;
    return 0;
}
