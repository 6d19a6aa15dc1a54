#include "presentation/overlay_scenes.h"

#include <GL/gl.h>

#include "base/render_config.h"
#include "base/time_tables.h"
#include "presentation/overlay_catalogue.h"

namespace {

void drawPicture(Sprite* picture) {
    if (picture != nullptr) {
        picture->draw();
    }
}

// A group of credits pictures: inside lower < t < upper the four pictures are
// shown in turn, each in its own window between the marks (the marks
// themselves show nothing), then until the stretch ends one of the four is
// picked by t mod 4 every frame.
struct CreditsStretch {
    CreditsGroup group;
    SceneTime lower;
    SceneTime upper;
    SceneTime marks[4];
};

constexpr CreditsStretch flickeringStretches[] = {
    {CreditsGroup::Code, 3650, 5448, {3900, 4462, 4795, 5015}},
    {CreditsGroup::Gfx, 5448, 7237, {5685, 6240, 6573, 6795}},
    {CreditsGroup::Msx, 7237, 8996, {7461, 8015, 8348, 8571}},
};

// The pause stretch shows its first picture, then its second from 9239
// inclusive to 10124, then nothing.
constexpr SceneTime pauseLower = 8996;
constexpr SceneTime pauseUpper = 10651;
constexpr SceneTime pauseSecondFrom = 9239;
constexpr SceneTime pauseEnd = 10125;
constexpr SceneTime bandLower = 9791;

// The soya pictures after the first, each in its window; the first shows
// outside them, also at the switching milliseconds.
constexpr TimeWindow<int> soyaWindows[] = {
    {46651, 47537, 1}, {47537, 48426, 2}, {48426, 49308, 3},
    {49308, 50198, 4}, {50198, 51087, 5}, {51087, openToTheEnd, 6},
};

CreditsPicture pictureOfStretch(const CreditsStretch& stretch, SceneTime t) {
    const SceneTime* m = stretch.marks;
    if (t < m[0]) {
        return {stretch.group, 0};
    }
    for (int i = 1; i < 4; ++i) {
        if (m[i - 1] < t && t < m[i]) {
            return {stretch.group, i};
        }
    }
    if (t > m[3]) {
        return {stretch.group, static_cast<int>(t % 4)};
    }
    return {};
}

Sprite* creditsSprite(CreditsPicture picture) {
    switch (picture.group) {
        case CreditsGroup::Code:
            return codePictures[picture.index];
        case CreditsGroup::Gfx:
            return gfxPictures[picture.index];
        case CreditsGroup::Msx:
            return msxPictures[picture.index];
        case CreditsGroup::Pause:
            return pausePictures[picture.index];
        case CreditsGroup::None:
            break;
    }
    return nullptr;
}

CreditsPicture creditsPictureAt(SceneTime t) {
    for (const CreditsStretch& stretch : flickeringStretches) {
        if (stretch.lower < t && t < stretch.upper) {
            return pictureOfStretch(stretch, t);
        }
    }
    if (pauseLower < t && t < pauseUpper) {
        if (t < pauseSecondFrom) {
            return {CreditsGroup::Pause, 0};
        }
        if (t < pauseEnd) {
            return {CreditsGroup::Pause, 1};
        }
    }
    return {};
}

bool creditsBandBlanked(SceneTime t) {
    return bandLower < t && t < pauseEnd;
}

}  // namespace

HearingShot hearingShotAt(SceneTime t) {
    return {static_cast<int>(t % 2)};
}

CutKeys HearingShot::cutKeys() const {
    return {0.0, static_cast<double>(picture)};
}

CreditsShot creditsShotAt(SceneTime t) {
    return {creditsPictureAt(t), creditsBandBlanked(t)};
}

CutKeys CreditsShot::cutKeys() const {
    // Each group's pictures in a block of 16, the band doubling the count.
    const int shown = static_cast<int>(picture.group) * 16 + picture.index;
    return {0.0, static_cast<double>(shown * 2 + (bandBlanked ? 1 : 0))};
}

SoyaShot soyaShotAt(SceneTime t) {
    const TimeWindow<int>* window = windowHolding(soyaWindows, t);
    return {window != nullptr ? window->value : 0};
}

CutKeys SoyaShot::cutKeys() const {
    return {0.0, static_cast<double>(picture)};
}

void hearingScene(SceneTime t) {
    drawPicture(hearingPictures[hearingShotAt(t).picture]);
}

void creditsScene(SceneTime t) {
    const CreditsShot shot = creditsShotAt(t);
    drawPicture(creditsSprite(shot.picture));
    if (shot.bandBlanked) {
        // Only colour is cleared: the pictures write no depth anyway.
        glEnable(GL_SCISSOR_TEST);
        // The band keeps its size in pixels and sits in the area's corner.
        const FrameArea area = frameArea(renderConfig);
        glScissor(area.x, area.y, creditsBandWidth, creditsBandHeight);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
}

void soyaScene(SceneTime t) {
    drawPicture(soyaPictures[soyaShotAt(t).picture]);
}
