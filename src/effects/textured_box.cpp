#include "effects/textured_box.h"

#include <GL/gl.h>

namespace {

struct Corner {
    float x;
    float y;
    float z;
};

}  // namespace

void drawTexturedBox(float cx, float cy, float cz, float hx, float hy, float hz, float sRepeat,
                     float tRepeat, int32_t texture) {
    const float x0 = cx - hx;
    const float x1 = cx + hx;
    const float y0 = cy - hy;
    const float y1 = cy + hy;
    const float z0 = cz - hz;
    const float z1 = cz + hz;
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
    const float texCoords[4][2] = {
        {0.0f, 0.0f}, {sRepeat, 0.0f}, {sRepeat, tRepeat}, {0.0f, tRepeat}};

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glBegin(GL_QUADS);
    for (const auto& face : faces) {
        for (int v = 0; v < 4; ++v) {
            glTexCoord2f(texCoords[v][0], texCoords[v][1]);
            glVertex3f(face[v].x, face[v].y, face[v].z);
        }
    }
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
}
