// The browser's GL layer against the driver it stands in for: the same
// drawing through Mesa's display lists, quad primitives, sphere-map texture
// generation and gluLookAt, and through the layer's recorder, arrays, CPU
// texture generation and look-at, must give the same frame.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/web/gl_layer.h"
#include "support/gl_context.h"

namespace {

// The GL calls a scene makes, from the driver or from the layer.
struct GlCalls {
    void (*begin)(GLenum);
    void (*end)();
    void (*vertex)(GLfloat, GLfloat, GLfloat);
    void (*normal)(GLfloat, GLfloat, GLfloat);
    void (*texCoord)(GLfloat, GLfloat);
    GLuint (*genLists)(GLsizei);
    void (*newList)(GLuint, GLenum);
    void (*endList)();
    void (*callList)(GLuint);
    void (*bindTexture)(GLenum, GLuint);
    void (*texGen)(GLenum, GLenum, GLint);
    void (*enable)(GLenum);
    void (*disable)(GLenum);
    void (*activeTexture)(GLenum);
    void (*lookAt)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                   GLdouble);
};

const GlCalls driver = {glBegin,    glEnd,     glVertex3f, glNormal3f,      glTexCoord2f,
                        glGenLists, glNewList, glEndList,  glCallList,      glBindTexture,
                        glTexGeni,  glEnable,  glDisable,  glActiveTexture, gluLookAt};
const GlCalls layer = {
    velmorraBegin,    velmorraEnd,     velmorraVertex3f, velmorraNormal3f,      velmorraTexCoord2f,
    velmorraGenLists, velmorraNewList, velmorraEndList,  velmorraCallList,      velmorraBindTexture,
    velmorraTexGeni,  velmorraEnable,  velmorraDisable,  velmorraActiveTexture, velmorraLookAt};

// A picture with detail everywhere, so a wrong coordinate shows.
GLuint makeTexture(int seed) {
    constexpr int size = 64;
    std::vector<uint8_t> rgb(size * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &rgb[(y * size + x) * 3];
            p[0] = static_cast<uint8_t>(x * 4 + seed * 40);
            p[1] = static_cast<uint8_t>(y * 4);
            p[2] = ((x / 8 + y / 8 + seed) % 2) != 0 ? 230 : 30;
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

// A textured cube as quads, then a band of a sphere as one quad strip with
// its normals, both recorded in one list with the texture binds.
void recordShapes(const GlCalls& gl, GLuint list, GLuint texture, GLuint other) {
    gl.newList(list, GL_COMPILE);
    const float c[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                           {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    const int faces[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7},
                             {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}};
    const float st[4][2] = {{0, 0}, {2, 0}, {2, 1}, {0, 1}};
    // In three runs of two faces, each bound and unbound as a textured box
    // is: the recorder folds the first two (one texture) into one draw and
    // keeps the third (another texture) apart.
    for (int run = 0; run < 3; ++run) {
        gl.bindTexture(GL_TEXTURE_2D, run < 2 ? texture : other);
        gl.begin(GL_QUADS);
        for (int f = run * 2; f < run * 2 + 2; ++f) {
            for (int k = 0; k < 4; ++k) {
                gl.texCoord(st[k][0], st[k][1]);
                gl.vertex(c[faces[f][k]][0], c[faces[f][k]][1], c[faces[f][k]][2] * 1.5f);
            }
        }
        gl.end();
        gl.bindTexture(GL_TEXTURE_2D, 0);
    }
    gl.bindTexture(GL_TEXTURE_2D, texture);
    gl.begin(GL_QUAD_STRIP);
    for (int j = 0; j <= 24; ++j) {
        const float a = static_cast<float>(j) * 0.2618f;
        for (float y : {0.6f, -0.6f}) {
            const float r = std::sqrt(1.0f - y * y) * 2.2f;
            gl.normal(std::cos(a) * 10.0f, y * 10.0f, std::sin(a) * 10.0f);
            gl.texCoord(static_cast<float>(j) / 8.0f, y + 0.5f);
            gl.vertex(std::cos(a) * r, y * 2.2f, std::sin(a) * r);
        }
    }
    gl.end();
    gl.bindTexture(GL_TEXTURE_2D, 0);
    gl.endList();
}

// Draws the list twice under gluLookAt and rotations.
void listScene(const GlCalls& gl, GLuint texture, GLuint other) {
    const GLuint list = gl.genLists(1);
    recordShapes(gl, list, texture, other);
    glPushMatrix();
    gl.lookAt(3.0, 4.0, 9.0, 0.5, -0.3, 0.0, 0.1, 1.0, 0.0);
    gl.callList(list);
    glTranslatef(2.5f, 0.0f, -3.0f);
    glRotatef(37.0f, 0.3f, 1.0f, 0.2f);
    gl.callList(list);
    glPopMatrix();
}

// A rippled grid whose unit 1 takes sphere-map coordinates from normals ten
// units long, under a rotation, as the bitmap scene draws its sheet.
void sphereMapScene(const GlCalls& gl, GLuint base, GLuint environment) {
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -12.0f);
    glRotatef(-50.0f, 1.0f, 0.2f, 0.0f);
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    gl.activeTexture(GL_TEXTURE0);
    gl.bindTexture(GL_TEXTURE_2D, base);
    gl.activeTexture(GL_TEXTURE1);
    gl.enable(GL_TEXTURE_2D);
    gl.bindTexture(GL_TEXTURE_2D, environment);
    gl.texGen(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.texGen(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.enable(GL_TEXTURE_GEN_S);
    gl.enable(GL_TEXTURE_GEN_T);
    auto point = [&](int i, int j) {
        const float x = static_cast<float>(j) - 8.0f;
        const float y = static_cast<float>(i) - 8.0f;
        const float z = std::sin(x * 0.7f) + std::cos(y * 0.5f) - 3.0f;
        const float length = std::sqrt(x * x + y * y + z * z);
        gl.normal(x * 10.0f / length, y * 10.0f / length, z * 10.0f / length);
        gl.texCoord(static_cast<float>(j) / 16.0f, static_cast<float>(i) / 16.0f);
        gl.vertex(x, y, z);
    };
    gl.begin(GL_TRIANGLES);
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            for (const auto& [di, dj] : {std::pair{0, 0}, {0, 1}, {1, 0}, {0, 1}, {1, 1}, {1, 0}}) {
                point(i + di, j + dj);
            }
        }
    }
    gl.end();
    gl.disable(GL_TEXTURE_GEN_T);
    gl.disable(GL_TEXTURE_GEN_S);
    gl.bindTexture(GL_TEXTURE_2D, 0);
    gl.disable(GL_TEXTURE_2D);
    gl.activeTexture(GL_TEXTURE0);
    gl.bindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

class GlLayerTest : public HeadlessGlTest {
protected:
    std::vector<uint8_t> frameOf(const std::function<void()>& draw) {
        resetGlState();
        draw();
        std::vector<uint8_t> rgb(width * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }
};

TEST_F(GlLayerTest, DrawsWhatTheDriverDraws) {
    const GLuint base = makeTexture(0);
    const GLuint environment = makeTexture(3);
    struct Case {
        const char* name;
        std::function<void(const GlCalls&)> draw;
    };
    const Case cases[] = {
        {"display lists of quads and a quad strip under gluLookAt",
         [&](const GlCalls& gl) { listScene(gl, base, environment); }},
        {"sphere map on unit 1 from unnormalised normals",
         [&](const GlCalls& gl) { sphereMapScene(gl, base, environment); }},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> expected = frameOf([&] { c.draw(driver); });
        const std::vector<uint8_t> actual = frameOf([&] { c.draw(layer); });
        long total = 0;
        int lit = 0;
        int far = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            const int difference = std::abs(expected[i] - actual[i]);
            total += difference;
            far += difference > 24 ? 1 : 0;
            lit += expected[i] > 0 ? 1 : 0;
        }
        const double mean = static_cast<double>(total) / static_cast<double>(expected.size());
        // Most of the frame is drawn, so a scene that draws nothing fails.
        EXPECT_GT(lit, static_cast<int>(expected.size() / 10)) << c.name;
        EXPECT_LT(mean, 0.5) << c.name;
        EXPECT_LT(far, static_cast<int>(expected.size() / 500)) << c.name;
    }
    glDeleteTextures(1, &base);
    glDeleteTextures(1, &environment);
}

}  // namespace
