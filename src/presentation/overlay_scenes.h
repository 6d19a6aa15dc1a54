#pragma once

#include "base/scene_time.h"

// The scenes made of full-screen pictures alone. Each draws at most one
// catalogue picture per frame, chosen from the absolute scene time t.
void hearingScene(SceneTime t);
void creditsScene(SceneTime t);
void soyaScene(SceneTime t);

// The choices behind the scenes, kept apart from the drawing so that the
// switching times can be checked without a GL context.

// hearingPictures index at t: alternates with the parity of t.
int hearingPictureIndex(SceneTime t);

enum class CreditsGroup { None, Code, Gfx, Msx, Pause };

struct CreditsPicture {
    CreditsGroup group = CreditsGroup::None;
    int index = 0;

    friend bool operator==(const CreditsPicture&, const CreditsPicture&) = default;
};

// The credits picture shown at t; group None at the milliseconds between
// pictures and after the last one.
CreditsPicture creditsPictureAt(SceneTime t);

// Whether the credits cut the lower band out of the picture at t.
bool creditsBandBlanked(SceneTime t);

// The band the credits black out: fixed in pixels from the lower-left corner,
// whatever the screen size.
constexpr int creditsBandWidth = 640;
constexpr int creditsBandHeight = 240;

// soyaPictures index at t.
int soyaPictureIndex(SceneTime t);
