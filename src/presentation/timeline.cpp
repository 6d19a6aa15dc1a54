#include "presentation/timeline.h"

#include <GL/gl.h>

#include "effects/spike.h"
#include "effects/twist.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/overlay_scenes.h"

// Rows whose scene is null belong to effects that are not part of the program
// yet; each effect puts its scene function into its row when it is added.
const std::array<TimelineRow, 10> DemoTimeline = {{
    {0, 3560, hearingScene, "hearingScene"},
    {3650, 10651, creditsScene, "creditsScene"},
    {10125, 32000, twistPillarScene, "twistPillarScene"},
    {32000, 46000, spikeScene, "spikeScene"},
    {46157, 51503, soyaScene, "soyaScene"},
    {53312, 66518, twistRoomScene, "twistRoomScene"},
    {67522, 81511, nullptr, "boxScene"},
    {81679, 88393, nullptr, "spheresScene"},
    {88840, 109587, nullptr, "tunnelScene"},
    {110150, 131027, nullptr, "bitmapScene"},
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
        if (row.scene != nullptr && rowRuns(row, t)) {
            row.scene(t);
        }
    }
    noiseOverlay(t);
}
