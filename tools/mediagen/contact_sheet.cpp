#include "contact_sheet.h"

#include <jpeglib.h>

#include <cstdio>
#include <vector>

#include "asset_names.h"
#include "jpeg_writer.h"
#include "palette.h"
#include "text.h"

namespace {

constexpr int thumb = 128;
constexpr int cellWidth = thumb + 8;
constexpr int cellHeight = thumb + 22;
constexpr int columns = 12;

// Reads a JPEG into an Image; false when the file is missing or broken.
bool readJpeg(const std::string& path, Image& img) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    img = Image(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    std::vector<uint8_t> row(cinfo.output_width * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (int x = 0; x < img.width(); ++x) {
            img.at(x, y) = {row[3 * x] / 255.0f, row[3 * x + 1] / 255.0f, row[3 * x + 2] / 255.0f};
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return true;
}

}  // namespace

bool writeContactSheet(const std::string& dataDir, const std::string& pngPath, std::string& error) {
    Font font(monoFontPath);
    if (!font.ok()) {
        error = font.error();
        return false;
    }
    // Colour pictures in list order, each cut-out followed by its mask the
    // first time that mask appears.
    std::vector<std::string_view> order;
    for (const assets::Picture& p : assets::pictures) {
        if (p.use == assets::Use::Mask) {
            continue;
        }
        order.push_back(p.file);
        bool seen = false;
        for (std::string_view f : order) {
            seen = seen || (!p.alpha.empty() && f == p.alpha);
        }
        if (!p.alpha.empty() && !seen) {
            order.push_back(p.alpha);
        }
    }
    int rows = (static_cast<int>(order.size()) + columns - 1) / columns;
    Image sheet(columns * cellWidth + 8, rows * cellHeight + 8, palette::steelDark * 0.6f);
    for (size_t i = 0; i < order.size(); ++i) {
        int cx = 8 + static_cast<int>(i % columns) * cellWidth;
        int cy = 8 + static_cast<int>(i / columns) * cellHeight;
        Image picture;
        std::string name(order[i]);
        if (!readJpeg(dataDir + "/" + name, picture)) {
            error = "cannot read " + dataDir + "/" + name;
            return false;
        }
        pasteScaled(sheet, picture, cx, cy, picture.width() / thumb);
        bool mask = name.find("_alfa") != std::string::npos;
        font.draw(sheet, name.substr(0, name.size() - 4), static_cast<float>(cx),
                  static_cast<float>(cy + thumb + 13), 10, mask ? palette::amber : palette::ice);
    }
    return writePngRgb(pngPath, sheet.width(), sheet.height(), sheet.toBytes(), error);
}
