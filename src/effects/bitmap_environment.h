#pragma once

#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// The closing effect: a rippling 25 x 25 sheet with a pixelated picture on
// texture unit 0 and a sphere-mapped environment picture on unit 1, spinning
// in front of the camera, starting in fast motion and slowing to normal speed,
// under the ten closing pictures.

// One vertex of a grid sheet: position, then texture coordinates.
struct GridVertex {
    float x;
    float y;
    float z;
    float s;
    float t;
};

// A new sheet of rows x columns vertices, row by row. The step is the span
// divided by the count (not the count minus one), so the sheet starts at
// -width/2 and stops one step short of +width/2. Never freed.
GridVertex* makeGrid(float width, float height, int columns, int rows, float z, float sSpan,
                     float tSpan);

// Two triangles per grid cell, with unit-0 coordinates from the grid and a
// normal of length 10 pointing away from the origin (it feeds only the sphere
// map on unit 1). Uses whatever texture state is set.
void drawGrid(int columns, int rows, const GridVertex* grid);

// Start-up: the two textures and the grid.
void buildBitmap();

// One frame of the sheet for phase x. Clears the frame itself; leaves unit 0
// active with the base texture bound, unit 1 disabled with texture 0 bound and
// texture generation off.
void renderBitmap(float x);

// The closing scene, drawn in its DemoTimeline row's window. Leaves what
// renderBitmap leaves, or once a closing picture shows, its texture bound with
// alpha function GREATER 0.5.
void bitmapScene(SceneTime t);

// The choices behind the scene, kept apart from the drawing so that they can
// be checked without a GL context.

// A wave value as the sheet uses it: negative values doubled, so the troughs
// are deeper than the crests are high.
float sheetWave(float value);

// The sheet's speed: it falls by 0.5 in every frame drawn inside the
// slow-down window and never below 1.0. It is the one value of the scene that
// depends on the frames drawn, not on t.
constexpr float bitmapStartSpeed = 20.0f;

// What the scene shows at t, given the speed the frames before it left
// (bitmapStartSpeed before the first): the speed after this frame, the
// sheet's phase (that speed times the whole scene time, rounded once to
// float) and the closing picture (an index into slutPictures, -1 before the
// first shows).
struct BitmapShot {
    float speed;
    float phase;
    int closingPicture;
    // The speed falls in a quick run of small jumps, not in one cut.
    CutKeys cutKeys() const;
};
BitmapShot bitmapShotAt(SceneTime t, float speedBefore);
