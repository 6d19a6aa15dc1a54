#include "presentation/overlay_scenes.h"

#include <GL/gl.h>

#include "base/render_config.h"
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

}  // namespace

int hearingPictureIndex(SceneTime t) {
    return static_cast<int>(t % 2);
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

int soyaPictureIndex(SceneTime t) {
    int index = 0;
    if (46651 < t && t < 47537) {
        index = 1;
    }
    if (47537 < t && t < 48426) {
        index = 2;
    }
    if (48426 < t && t < 49308) {
        index = 3;
    }
    if (49308 < t && t < 50198) {
        index = 4;
    }
    if (50198 < t && t < 51087) {
        index = 5;
    }
    if (t > 51087) {
        index = 6;
    }
    return index;
}

void hearingScene(SceneTime t) {
    drawPicture(hearingPictures[hearingPictureIndex(t)]);
}

void creditsScene(SceneTime t) {
    drawPicture(creditsSprite(creditsPictureAt(t)));
    if (creditsBandBlanked(t)) {
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
    drawPicture(soyaPictures[soyaPictureIndex(t)]);
}
