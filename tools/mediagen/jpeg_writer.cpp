#include "jpeg_writer.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <vector>

bool writeJpeg(const std::string& path, const Image& img, int quality, bool fullChroma,
               std::string& error) {
    std::vector<uint8_t> rgb = img.toBytes();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(img.width());
    cinfo.image_height = static_cast<JDIMENSION>(img.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    if (fullChroma) {
        for (int c = 0; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    // No JFIF density or comment that could vary between builds.
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(cinfo.next_scanline) * img.width() * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(buffer, 1, size, f) == size;
    if (f != nullptr && std::fclose(f) != 0) {
        ok = false;
    }
    std::free(buffer);
    if (!ok) {
        error = "cannot write " + path;
    }
    return ok;
}

namespace {

bool writePng(const std::string& path, int width, int height, png_uint_32 format,
              const std::vector<uint8_t>& bytes, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    if (png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) == 0) {
        error = "cannot write " + path + ": " + image.message;
        return false;
    }
    return true;
}

}  // namespace

bool writePngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                 std::string& error) {
    return writePng(path, width, height, PNG_FORMAT_RGB, rgb, error);
}

bool writePngRgba(const std::string& path, const Image& colour, const Image& coverage,
                  std::string& error) {
    std::vector<uint8_t> rgb = colour.toBytes(), alpha = coverage.toBytes();
    std::vector<uint8_t> rgba(rgb.size() / 3 * 4);
    for (size_t i = 0; i < rgb.size() / 3; ++i) {
        std::copy_n(&rgb[3 * i], 3, &rgba[4 * i]);
        rgba[4 * i + 3] = alpha[3 * i];
    }
    return writePng(path, colour.width(), colour.height(), PNG_FORMAT_RGBA, rgba, error);
}
