#include "sequence/timeline.h"

#include <GL/gl.h>

#include "effects/bitmap_environment.h"
#include "effects/box.h"
#include "effects/spheres.h"
#include "effects/spike.h"
#include "effects/tunnel.h"
#include "effects/twist.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/overlay_scenes.h"

namespace {

// The cut keys of a scene whose shot is a function of t alone.
template <auto shotAt>
CutKeys keysOf(SceneTime t, FrameDependentState&) {
    return shotAt(t).cutKeys();
}

CutKeys boxKeys(SceneTime t, FrameDependentState& frames) {
    const BoxShot shot = boxShotAt(t, frames.boxOrbitDivisor);
    frames.boxOrbitDivisor = shot.orbitDivisor;
    return shot.cutKeys();
}

CutKeys bitmapKeys(SceneTime t, FrameDependentState& frames) {
    const BitmapShot shot = bitmapShotAt(t, frames.sheetSpeed);
    frames.sheetSpeed = shot.speed;
    return shot.cutKeys();
}

}  // namespace

const std::array<TimelineRow, 10> DemoTimeline = {{
    {0, 3560, hearingScene, "hearingScene", keysOf<hearingShotAt>},
    {3650, 10651, creditsScene, "creditsScene", keysOf<creditsShotAt>},
    {10125, 32000, twistPillarScene, "twistPillarScene", keysOf<twistPillarShotAt>},
    {32000, 46000, spikeScene, "spikeScene", keysOf<spikeShotAt>},
    {46157, 51503, soyaScene, "soyaScene", keysOf<soyaShotAt>},
    {53312, 66518, twistRoomScene, "twistRoomScene", keysOf<twistRoomShotAt>},
    {67522, 81511, boxScene, "boxScene", boxKeys},
    {81679, 88393, spheresScene, "spheresScene", keysOf<spheresShotAt>},
    {88840, 109587, tunnelScene, "tunnelScene", keysOf<tunnelShotAt>},
    {110150, 131027, bitmapScene, "bitmapScene", bitmapKeys},
}};

namespace {

// The grain over every frame: blended, so its own alpha (the brightness of the
// grain) decides how much of the picture below shows through. The depth test
// stays on, so geometry nearer than the picture plane stays uncovered.
void noiseOverlay(SceneTime t) {
    Sprite* grain = noisePictures[noisePictureIndex(t)];
    if (grain != nullptr) {
        grain->drawBlended();
    }
}

}  // namespace

void renderFrame(SceneTime t) {
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const TimelineRow& row : DemoTimeline) {
        if (rowRuns(row, t)) {
            row.scene(t);
        }
    }
    noiseOverlay(t);
}
