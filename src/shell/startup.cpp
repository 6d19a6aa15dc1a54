#include "shell/startup.h"

#include "sound/music_stream.h"

namespace {

MusicStream* music = nullptr;

}  // namespace

bool startDemo() {
    music = new MusicStream("data/music.mp3");
    music->play();
    return true;
}

void shutdownDemo() {
    delete music;
    music = nullptr;
}
