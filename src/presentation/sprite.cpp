#include "presentation/sprite.h"

#include <GL/gl.h>

#include <bit>

#include "media/texture.h"
#include "platform/message.h"

const float fullScreenDepth = std::bit_cast<float>(0xC01AF1AAu);

namespace {

// A picture that failed to load is reported with the path as the caller wrote
// it; the sprite then draws with texture 0, an untextured white square.
int32_t textureOrReport(int32_t loaded, const char* reportedPath) {
    if (loaded >= 0) {
        return loaded;
    }
    showMessage("Error loading", reportedPath != nullptr ? reportedPath : "", MessageIcon::None);
    return 0;
}

}  // namespace

Sprite::Sprite() : halfSize(1.0f) {}

Sprite::Sprite(const char* path) : texture(textureOrReport(loadTexture(path), path)) {}

Sprite::~Sprite() = default;

AlphaSprite::AlphaSprite(const char* alphaPath, const char* colourPath) : Sprite() {
    texture = textureOrReport(loadTextureWithAlpha(alphaPath, colourPath), colourPath);
}

AlphaSprite::~AlphaSprite() = default;

void Sprite::setPosition(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

void Sprite::setHalfSize(float newHalfSize) {
    halfSize = newHalfSize;
}

void Sprite::resetPlacement() {
    halfSize = 1.0f;
    setPosition(0.0f, 0.0f, fullScreenDepth);
}

void Sprite::draw() {
    const float h = halfSize;
    glPushMatrix();
    glDepthMask(GL_FALSE);
    glTranslatef(x, y, z);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    // t = 0 is the picture's top row, on the top edge; s = 0 on the left.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-h, -h, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(h, -h, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(h, h, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-h, h, 0.0f);
    glEnd();
    glDepthMask(GL_TRUE);
    glPopMatrix();
}

void Sprite::drawBlended() {
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    draw();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

void Sprite::drawTriangles() const {
    const float h = halfSize;
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x - h, y - h, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x + h, y - h, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x + h, y + h, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x + h, y + h, z);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x - h, y + h, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x - h, y - h, z);
    glEnd();
}

void bindTextureOf(const Sprite* sprite) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureOf(sprite)));
}

void drawCutout(const Sprite& sprite) {
    glPushMatrix();
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(sprite.textureName()));
    sprite.drawTriangles();
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}

void drawCutoutOf(const Sprite* sprite) {
    if (sprite != nullptr) {
        drawCutout(*sprite);
    }
}
