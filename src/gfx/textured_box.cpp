#include "gfx/textured_box.h"

#include <GL/gl.h>

namespace {

struct Corner {
    float x;
    float y;
    float z;
};

// The point a fraction f of the way from a to b, exactly a at 0 and exactly b
// at 1, so that a face in one piece keeps its corners to the bit.
Corner along(const Corner& a, const Corner& b, float f) {
    const float g = 1.0f - f;
    return {a.x * g + b.x * f, a.y * g + b.y * f, a.z * g + b.z * f};
}

// Every face as `pieces` quads side by side across it (in the direction s
// runs), each in the face's own vertex order; one piece is the face itself.
void emitBoxQuads(const BoxExtents& box, float sRepeat, float tRepeat, int pieces) {
    const float x0 = box.cx - box.hx;
    const float x1 = box.cx + box.hx;
    const float y0 = box.cy - box.hy;
    const float y1 = box.cy + box.hy;
    const float z0 = box.cz - box.hz;
    const float z1 = box.cz + box.hz;
    // Back, front, left, right, bottom, top; on each side face the first two
    // corners are the top edge, where t = 0.
    const Corner faces[6][4] = {
        {{x1, y1, z0}, {x0, y1, z0}, {x0, y0, z0}, {x1, y0, z0}},
        {{x0, y1, z1}, {x1, y1, z1}, {x1, y0, z1}, {x0, y0, z1}},
        {{x0, y1, z0}, {x0, y1, z1}, {x0, y0, z1}, {x0, y0, z0}},
        {{x1, y1, z1}, {x1, y1, z0}, {x1, y0, z0}, {x1, y0, z1}},
        {{x0, y0, z0}, {x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}},
        {{x0, y1, z1}, {x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}},
    };
    for (const auto& face : faces) {
        for (int k = 0; k < pieces; ++k) {
            const float from = static_cast<float>(k) / static_cast<float>(pieces);
            const float to = static_cast<float>(k + 1) / static_cast<float>(pieces);
            const Corner corners[4] = {along(face[0], face[1], from), along(face[0], face[1], to),
                                       along(face[3], face[2], to), along(face[3], face[2], from)};
            const float texCoords[4][2] = {{sRepeat * from, 0.0f},
                                           {sRepeat * to, 0.0f},
                                           {sRepeat * to, tRepeat},
                                           {sRepeat * from, tRepeat}};
            for (int v = 0; v < 4; ++v) {
                glTexCoord2f(texCoords[v][0], texCoords[v][1]);
                glVertex3f(corners[v].x, corners[v].y, corners[v].z);
            }
        }
    }
}

void drawBoxes(std::span<const BoxExtents> boxes, float sRepeat, float tRepeat, int32_t texture,
               int pieces) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glBegin(GL_QUADS);
    for (const BoxExtents& box : boxes) {
        emitBoxQuads(box, sRepeat, tRepeat, pieces);
    }
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace

void drawTexturedBoxes(std::span<const BoxExtents> boxes, float sRepeat, float tRepeat,
                       int32_t texture) {
    drawBoxes(boxes, sRepeat, tRepeat, texture, 1);
}

void drawTexturedBoxInPieces(const BoxExtents& box, float sRepeat, float tRepeat, int32_t texture,
                             int pieces) {
    drawBoxes({&box, 1}, sRepeat, tRepeat, texture, pieces < 1 ? 1 : pieces);
}

void drawTexturedBox(float cx, float cy, float cz, float hx, float hy, float hz, float sRepeat,
                     float tRepeat, int32_t texture) {
    const BoxExtents box = {cx, cy, cz, hx, hy, hz};
    drawTexturedBoxes({&box, 1}, sRepeat, tRepeat, texture);
}
