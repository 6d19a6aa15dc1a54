#include "shell/startup.h"

#include <GL/gl.h>

#include "platform/window.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/sprite.h"
#include "sequence/effect_builds.h"
#include "sound/music_stream.h"

namespace {

// Shown, unchanged, from the first presented frame until the main loop draws;
// it lives as long as the process.
Sprite* loadingPicture = nullptr;
MusicStream* music = nullptr;

void showLoadingPicture() {
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadingPicture = new Sprite("data/loading.jpg");
    loadingPicture->resetPlacement();
    loadingPicture->draw();
    // Makes the picture visible and handles one pending event, which may be
    // an Escape: loading still runs to the end, the main loop then draws nothing.
    presentFrame();
}

}  // namespace

void startDemo() {
    showLoadingPicture();

    // Opens the sound library and reads the whole file; a failure ends the
    // process here, before anything else is built.
    music = new MusicStream("data/music.mp3");

    buildEffects();
    loadOverlayCatalogue();

    // Last, so that the clock's zero, taken as soon as this returns, follows
    // the start of the music as closely as it can.
    music->play();
}

void shutdownDemo() {
    delete music;
    music = nullptr;
}
