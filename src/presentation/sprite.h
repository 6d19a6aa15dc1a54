#pragma once

#include <cstdint>

// The picture object every scene draws with: one texture made from a JPEG (or
// a colour JPEG and an alpha JPEG) and a square placement, a centre and a
// half-size. Sprites are made at start-up and live until the process ends;
// the destructor releases nothing, not even the texture.
class Sprite {
public:
    // Base part of AlphaSprite only: half-size 1, no texture, no position.
    Sprite();
    // Loads the picture at path (relative to the program directory). A picture
    // that fails to load is reported ("Error loading", the path as given) and
    // the sprite uses texture 0.
    explicit Sprite(const char* path);
    virtual ~Sprite();

    void setPosition(float x, float y, float z);
    void setHalfSize(float halfSize);
    // Full-screen: half-size 1 at (0, 0, -2.421).
    void resetPlacement();

    // A translated, textured quad, depth-tested but writing no depth.
    void draw();
    // draw() inside alpha blending (source alpha, one minus source alpha).
    void drawBlended();
    // Two triangles at absolute coordinates; binds nothing, sets no state.
    void drawTriangles() const;

    int32_t textureName() const { return texture; }
    float positionX() const { return x; }
    float positionY() const { return y; }
    float positionZ() const { return z; }
    float halfSizeValue() const { return halfSize; }

protected:
    int32_t texture = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float halfSize = 1.0f;
};

// A sprite whose texture takes its alpha from a second picture: the largest
// channel of the alpha picture at each pixel.
class AlphaSprite : public Sprite {
public:
    // The alpha picture's path comes first, then the colour picture's.
    AlphaSprite(const char* alphaPath, const char* colourPath);
    ~AlphaSprite() override;
};

// The texture of a sprite that may not have been made yet (a build step that
// has not run): texture 0, which draws untextured.
inline int32_t textureOf(const Sprite* sprite) {
    return sprite != nullptr ? sprite->textureName() : 0;
}

// Binds textureOf(sprite) to GL_TEXTURE_2D on the active unit.
void bindTextureOf(const Sprite* sprite);

// Lays a sprite over everything drawn so far: texels with alpha above 0.5 are
// drawn opaque, the rest are discarded. Leaves the depth test on and the alpha
// test off.
void drawCutout(const Sprite& sprite);

// drawCutout of a catalogue picture whose slot may still be empty (before the
// catalogue is loaded): nothing is drawn then.
void drawCutoutOf(const Sprite* sprite);

// The default depth of a full-screen sprite: the float with bits C01AF1AA,
// the nearest to -2.421.
extern const float fullScreenDepth;
