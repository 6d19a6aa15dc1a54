#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

struct Font::FaceRecord {
    FT_Face face;
};

Font::Font(const std::string& path) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error_ = "cannot start FreeType";
        return;
    }
    library_ = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        error_ = "cannot open font " + path;
        return;
    }
    face_ = new FaceRecord{face};
}

Font::~Font() {
    if (face_ != nullptr) {
        FT_Done_Face(face_->face);
        delete face_;
    }
    if (library_ != nullptr) {
        FT_Done_FreeType(static_cast<FT_Library>(library_));
    }
}

float Font::measure(std::string_view text, int pixelSize, float spacing) const {
    if (face_ == nullptr) {
        return 0;
    }
    FT_Face face = face_->face;
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    float width = 0;
    for (char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0) {
            width += face->glyph->advance.x / 64.0f + spacing;
        }
    }
    return text.empty() ? 0 : width - spacing;
}

void Font::draw(Image& img, std::string_view text, float x, float y, int pixelSize, Rgb colour,
                float spacing, float opacity) const {
    if (face_ == nullptr) {
        return;
    }
    FT_Face face = face_->face;
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    float pen = x;
    for (char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) {
            continue;
        }
        FT_GlyphSlot g = face->glyph;
        int left = static_cast<int>(std::lround(pen)) + g->bitmap_left;
        int top = static_cast<int>(std::lround(y)) - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                uint8_t v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                if (v != 0) {
                    img.blend(left + static_cast<int>(col), top + static_cast<int>(row), colour,
                              v / 255.0f * opacity);
                }
            }
        }
        pen += g->advance.x / 64.0f + spacing;
    }
}

void Font::drawCentred(Image& img, std::string_view text, float cx, float y, int pixelSize,
                       Rgb colour, float spacing, float opacity) const {
    draw(img, text, cx - measure(text, pixelSize, spacing) / 2, y, pixelSize, colour, spacing,
         opacity);
}
