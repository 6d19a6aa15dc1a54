#pragma once

#include <GL/gl.h>

#include <optional>

#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// The twist effect: an object drawn once per horizontal strip of the screen,
// each copy turned by a slightly different angle, so that it looks wrung from
// the top of the screen to the bottom. Two scenes use it: a pillar behind the
// machine pictures and a cross inside a fogged room.

// Loads the effect's four pictures and compiles its two display lists. Needs a
// current GL context; runs once at start-up, first of the effect builds.
void buildTwist();

// The display lists buildTwist compiles: the post with its two crossbars, and
// the pillar. Each binds its own textures and leaves texture 0 bound.
extern GLuint twistCrossList;
extern GLuint twistPillarList;

inline constexpr int crossSliceCount = 240;
inline constexpr int pillarSliceCount = 240;

// Draws list once per strip, turned about x by the cross's strip angle.
void drawCrossSlices(GLuint list, float phase);
// Its own camera, then the pillar once per strip, turned about y.
void drawTwistPillar(float angle, float phase, float centreX, float eyeDepth);
// Fog, camera, the room box, then the cross slices with that phase.
void drawTwistRoom(float angle, float phase);

// The two scenes hand back the state they found, except what they set last:
// scissor test off with the last strip's box as the scissor rectangle, fog off
// with exponential density 0.025 (room), and after a cut-out picture its
// texture bound with alpha function GREATER 0.5.
void twistPillarScene(SceneTime t);
void twistRoomScene(SceneTime t);

// The decisions behind the drawing, kept apart from GL so that they can be
// checked on their own.

// The scissor box of strip i (1 = top, count = bottom) on a width x height
// screen. Heights that are not a multiple of count leave rows between strips
// uncovered; those keep the cleared black.
struct StripBox {
    int x;
    int y;
    int width;
    int height;
};
StripBox stripBox(int i, int count, int width, int height);

// Degrees the copy in strip i is turned by.
float crossStripAngle(float phase, int i);
float pillarStripAngle(float phase, int i);

// Where the pillar's camera looks.
struct PillarView {
    float centreX;
    float eyeDepth;
};

// What the pillar scene shows at t: its camera's view (nothing at the times
// no pillar is drawn), the machine picture (an index into maskinePictures, -1
// before the first) and the late picture over it (an index into
// maskineLatePictures, -1 outside its stretch).
struct TwistPillarShot {
    std::optional<PillarView> view;
    int machinePicture;
    int latePicture;
    // The first view's look-at point slides; only its depth cuts.
    CutKeys cutKeys() const;
};
TwistPillarShot twistPillarShotAt(SceneTime t);

// What the room scene shows at t: the offset added to its camera's angle and
// its cut-out (an index into ostPictures, -1 for none).
struct TwistRoomShot {
    float cameraOffset;
    int cutout;
    CutKeys cutKeys() const;
};
TwistRoomShot twistRoomShotAt(SceneTime t);
