#pragma once

#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// The scenes made of full-screen pictures alone. Each draws at most one
// catalogue picture per frame, chosen from the absolute scene time t.
void hearingScene(SceneTime t);
void creditsScene(SceneTime t);
void soyaScene(SceneTime t);

// What each scene shows at t, kept apart from the drawing so that the
// switching times can be checked without a GL context.

// hearingPictures index: alternates with the parity of t.
struct HearingShot {
    int picture;
    CutKeys cutKeys() const;
};
HearingShot hearingShotAt(SceneTime t);

enum class CreditsGroup { None, Code, Gfx, Msx, Pause };

struct CreditsPicture {
    CreditsGroup group = CreditsGroup::None;
    int index = 0;

    friend bool operator==(const CreditsPicture&, const CreditsPicture&) = default;
};

// The credits picture (group None at the milliseconds between pictures and
// after the last one) and whether the lower band is cut out of it.
struct CreditsShot {
    CreditsPicture picture;
    bool bandBlanked;
    CutKeys cutKeys() const;
};
CreditsShot creditsShotAt(SceneTime t);

// The band the credits black out: fixed in pixels from the lower-left corner,
// whatever the screen size.
constexpr int creditsBandWidth = 640;
constexpr int creditsBandHeight = 240;

// soyaPictures index.
struct SoyaShot {
    int picture;
    CutKeys cutKeys() const;
};
SoyaShot soyaShotAt(SceneTime t);
