#pragma once

// Text drawn with FreeType from a DejaVu font of fonts-dejavu-core.

#include <memory>
#include <string>
#include <string_view>

#include "raster.h"

class Font {
public:
    // Opens a font file; ok() tells whether it worked and error() why not.
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    bool ok() const { return face_ != nullptr; }
    const std::string& error() const { return error_; }

    // Width in pixels of text at the given pixel size and extra letter spacing.
    float measure(std::string_view text, int pixelSize, float spacing = 0) const;
    // Draws text with its baseline at y, starting at x, blended in colour.
    void draw(Image& img, std::string_view text, float x, float y, int pixelSize, Rgb colour,
              float spacing = 0, float opacity = 1) const;
    // Draws text centred horizontally on cx.
    void drawCentred(Image& img, std::string_view text, float cx, float y, int pixelSize,
                     Rgb colour, float spacing = 0, float opacity = 1) const;

private:
    void* library_ = nullptr;
    struct FaceRecord;
    FaceRecord* face_ = nullptr;
    std::string error_;
};

constexpr const char* boldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* monoFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
