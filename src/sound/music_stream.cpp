#include "sound/music_stream.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "media/file_reading.h"
#include "platform/message.h"
#include "platform/program_directory.h"
#include "sound/sound_errors.h"
#include "sound/sound_library.h"

namespace {

constexpr int mixRate = 44100;
constexpr int softwareChannels = 32;
// The real soundtrack is about 3 MB and any plausible one under 16 MB; a file
// longer than this is refused before it is read, like one that is no MP3.
constexpr size_t maxMusicFileBytes = size_t{64} << 20;

// The library decodes straight from the block it was given, so a block stays
// allocated (and reachable) until the process ends, outliving its stream.
std::vector<std::unique_ptr<uint8_t[]>>& retainedBlocks() {
    static auto* blocks = new std::vector<std::unique_ptr<uint8_t[]>>();
    return *blocks;
}

enum class LibraryState { NotOpen, Open };

// A sound failure ends the demo: the box first, then the library is closed
// (when it was opened) before the exit code 1. The window's exit hook gives
// the display back.
[[noreturn]] void endWithSoundError(const std::string& text, LibraryState library) {
    showMessage("FMOD", text, MessageIcon::Error);
    if (library == LibraryState::Open) {
        soundClose();
    }
    std::exit(1);
}

std::string lastErrorLine() {
    return std::string(soundErrorText(soundGetError())) + "\n";
}

}  // namespace

MusicStream::MusicStream(const char* name) {
    if (!soundInit(mixRate, softwareChannels)) {
        endWithSoundError(lastErrorLine(), LibraryState::NotOpen);
    }
    const std::string path = dataPath(name);
    size_t length = 0;
    std::unique_ptr<uint8_t[]> block = readWholeFile(path, length, maxMusicFileBytes);
    // Only a file that cannot be opened at all is "not found". One that opens
    // but cannot be read whole (a directory, an empty or shrinking file, a
    // FIFO, one over the size bound) gives no data, which play() reports as
    // unplayable.
    if (block == nullptr && !canOpenFile(path)) {
        endWithSoundError(std::string("File not found ") + name + "\n", LibraryState::Open);
    }
    // A null stream is not acted on here: play() reports it.
    stream = soundStreamOpenMemory(block.get(), length);
    if (block != nullptr) {
        retainedBlocks().push_back(std::move(block));
    }
}

MusicStream::~MusicStream() {
    if (stream != nullptr) {
        soundStreamClose(stream);
    }
    soundClose();
}

void MusicStream::play() {
    channel = soundStreamPlay(stream);
    if (channel == -1) {
        endWithSoundError(lastErrorLine(), LibraryState::Open);
    }
    soundSetPan(channel, -1);
}
