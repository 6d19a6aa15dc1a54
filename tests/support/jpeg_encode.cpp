#include "support/jpeg_encode.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace {

struct EncodeErrors {
    jpeg_error_mgr base;
    jmp_buf recovery;
};

[[noreturn]] void failEncode(j_common_ptr info) {
    std::longjmp(reinterpret_cast<EncodeErrors*>(info->err)->recovery, 1);
}

// Holds only trivially destructible state across setjmp; the caller copies
// the output out of libjpeg's buffer.
bool compress(jpeg_compress_struct& info, int width, int height, int channels,
              const uint8_t* pixels, int quality, bool progressive, unsigned char*& out,
              unsigned long& outSize) {
    EncodeErrors errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = failEncode;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = channels;
    info.in_color_space = channels == 4 ? JCS_CMYK : channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels) + info.next_scanline * rowBytes;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<uint8_t> encodeJpeg(int width, int height, int channels,
                                const std::vector<uint8_t>& pixels, int quality, bool progressive) {
    if (width <= 0 || height <= 0 || (channels != 1 && channels != 3 && channels != 4) ||
        pixels.size() != static_cast<size_t>(width) * height * channels) {
        return {};
    }
    jpeg_compress_struct info{};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool done =
        compress(info, width, height, channels, pixels.data(), quality, progressive, out, outSize);
    std::vector<uint8_t> bytes;
    if (done && out != nullptr) {
        bytes.assign(out, out + outSize);
    }
    std::free(out);
    return bytes;
}

std::vector<uint8_t> solidColourJpeg(int width, int height, uint8_t red, uint8_t green,
                                     uint8_t blue) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t p = 0; p < pixels.size(); p += 3) {
        pixels[p] = red;
        pixels[p + 1] = green;
        pixels[p + 2] = blue;
    }
    return encodeJpeg(width, height, 3, pixels);
}

std::vector<uint8_t> patternJpeg(int width, int height, int quality) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            p[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            p[2] = ((x / 8 + y / 8) % 2) != 0 ? 220 : 30;
        }
    }
    return encodeJpeg(width, height, 3, pixels, quality);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool closed = std::fclose(file) == 0;
    return closed && written == bytes.size();
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    return bytes;
}
