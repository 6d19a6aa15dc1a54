#include "sequence/effect_builds.h"

#include "effects/bitmap_environment.h"
#include "effects/box.h"
#include "effects/spheres.h"
#include "effects/spike.h"
#include "effects/tunnel.h"
#include "effects/twist.h"

void buildEffects() {
    buildTwist();
    buildTunnel();
    buildBox();
    buildSpheres();
    buildBitmap();
    buildSpikes();
}
