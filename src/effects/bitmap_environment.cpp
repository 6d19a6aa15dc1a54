#include "effects/bitmap_environment.h"

#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "base/scene_phase.h"
#include "base/time_tables.h"
#include "gfx/radial_normal.h"
#include "platform/gl_extensions.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/sprite.h"

namespace {

constexpr int gridColumns = 25;
constexpr int gridRows = 25;

std::unique_ptr<Sprite> baseTexture;
std::unique_ptr<Sprite> environmentTexture;
GridVertex* sheet = nullptr;

// Frame-dependent: the speed the frames drawn so far have left.
float sheetSpeedSoFar = bitmapStartSpeed;

// The column wave, rewritten every frame; the row wave is used as it is made.
float columnWave[gridColumns];

// The closing pictures show from after this time on, the first until the
// table's first row.
constexpr SceneTime closingPicturesAfter = 117702;
constexpr HeldChange<int> closingPictureChanges[] = {
    {119478, 1}, {121253, 2}, {123031, 3}, {124804, 4}, {125693, 5},
    {126583, 6}, {127472, 7}, {128357, 8}, {129244, 9},
};

constexpr SceneTime slowDownAfter = 117236;
constexpr SceneTime slowDownBefore = 121000;

void emitGridVertex(const GridVertex& v) {
    emitRadialNormal(v.x, v.y, v.z);
    glext::glMultiTexCoord2fARB(GL_TEXTURE0_ARB, v.s, v.t);
    glVertex3f(v.x, v.y, v.z);
}

// Each frame rewrites only the heights, from 25 row and 25 column values.
void rippleSheet(float x, float h) {
    for (int j = 0; j < gridColumns; ++j) {
        columnWave[j] = sheetWave(static_cast<float>(5.0 * std::cos(x + 0.4 * j)));
    }
    const double base = 10.0 * std::sin(h) - 35.0;
    for (int i = 0; i < gridRows; ++i) {
        const float rowWave = sheetWave(static_cast<float>(5.0 * std::sin(x + 0.52 * i)));
        GridVertex* row = sheet + i * gridColumns;
        for (int j = 0; j < gridColumns; ++j) {
            const float waves = rowWave + columnWave[j];
            row[j].z = static_cast<float>(waves + base);
        }
    }
}

}  // namespace

float sheetWave(float value) {
    return value < 0.0f ? value * 2.0f : value;
}

BitmapShot bitmapShotAt(SceneTime t, float speedBefore) {
    float speed = speedBefore;
    if (slowDownAfter < t && t < slowDownBefore) {
        speed -= 0.5f;
    }
    speed = speed < 1.0f ? 1.0f : speed;
    const float phase = static_cast<float>(static_cast<double>(speed) * static_cast<double>(t) *
                                           static_cast<double>(scenePhaseFactor));
    const int picture = t > closingPicturesAfter ? heldValueAt(closingPictureChanges, t, 0) : -1;
    return {speed, phase, picture};
}

CutKeys BitmapShot::cutKeys() const {
    return {0.0, static_cast<double>(closingPicture)};
}

GridVertex* makeGrid(float width, float height, int columns, int rows, float z, float sSpan,
                     float tSpan) {
    GridVertex* grid = new GridVertex[static_cast<size_t>(rows) * static_cast<size_t>(columns)];
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            GridVertex& v = grid[i * columns + j];
            v.x = j * (width / columns) - width * 0.5f;
            v.y = i * (height / rows) - height * 0.5f;
            v.z = z;
            v.s = j * (sSpan / columns);
            v.t = i * (tSpan / rows);
        }
    }
    return grid;
}

void drawGrid(int columns, int rows, const GridVertex* grid) {
    glBegin(GL_TRIANGLES);
    for (int i = 0; i + 1 < rows; ++i) {
        for (int j = 0; j + 1 < columns; ++j) {
            const GridVertex* cell = grid + i * columns + j;
            const GridVertex* above = cell + columns;
            emitGridVertex(cell[0]);
            emitGridVertex(cell[1]);
            emitGridVertex(above[0]);
            emitGridVertex(cell[1]);
            emitGridVertex(above[1]);
            emitGridVertex(above[0]);
        }
    }
    glEnd();
}

void buildBitmap() {
    baseTexture = std::make_unique<Sprite>("data\\bitmap_texture.jpg");
    environmentTexture = std::make_unique<Sprite>("data\\bitmap_env.jpg");
    // Built again (the tests do), the old sheet must not be lost.
    delete[] sheet;
    sheet = makeGrid(75.0f, 75.0f, gridColumns, gridRows, -10.0f, 2.0f, 2.0f);
}

void renderBitmap(float x) {
    glPushMatrix();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glRotatef(static_cast<float>(360.0 * std::sin(x * 0.125)), 0.0f, 0.0f, 1.0f);
    const float h = x * 0.33333334f;
    const float sway = static_cast<float>(10.0 * std::sin(x * 0.5));
    glTranslatef(sway, static_cast<float>(10.0 * std::cos(h)), sway);

    rippleSheet(x, h);

    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    bindTextureOf(baseTexture.get());
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    bindTextureOf(environmentTexture.get());
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_T);

    drawGrid(gridColumns, gridRows, sheet);

    // Unit 1 is still active: its texture and generation go off, then the
    // unit itself, and unit 0 is left active for everything after.
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_S);
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    glPopMatrix();
}

void bitmapScene(SceneTime t) {
    const BitmapShot shot = bitmapShotAt(t, sheetSpeedSoFar);
    sheetSpeedSoFar = shot.speed;
    renderBitmap(shot.phase);
    if (shot.closingPicture >= 0) {
        drawCutoutOf(slutPictures[shot.closingPicture]);
    }
}
