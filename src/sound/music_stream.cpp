#include "sound/music_stream.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/message.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "sound/sound_errors.h"
#include "sound/sound_library.h"

namespace {

constexpr int mixRate = 44100;
constexpr int softwareChannels = 32;

// The library decodes straight from the block it was given, so a block stays
// allocated (and reachable) until the process ends, outliving its stream.
std::vector<std::unique_ptr<unsigned char[]>>& retainedBlocks() {
    static auto* blocks = new std::vector<std::unique_ptr<unsigned char[]>>();
    return *blocks;
}

enum class LibraryState { NotOpen, Open };

// A sound failure ends the demo: the box first, then the library is closed
// (when it was opened) and the display given back before the exit code 1.
[[noreturn]] void endWithSoundError(const std::string& text, LibraryState library) {
    showMessage("FMOD", text, MessageIcon::Error);
    if (library == LibraryState::Open) {
        soundClose();
    }
    destroyDemoWindow();
    std::exit(1);
}

std::string lastErrorLine() {
    return std::string(soundErrorText(soundGetError())) + "\n";
}

// Reads what the open file holds into a new block. Anything but a regular file
// (a directory opens too), a block that cannot be allocated or a read error
// leaves the block short or empty; the stream then finds the data unplayable.
std::unique_ptr<unsigned char[]> readOpenFile(std::FILE* file, size_t& length) {
    length = 0;
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        return nullptr;
    }
    const auto size = static_cast<size_t>(status.st_size);
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    if (block == nullptr) {
        return nullptr;
    }
    length = std::fread(block.get(), 1, size, file);
    return block;
}

}  // namespace

MusicStream::MusicStream(const char* name) {
    if (!soundInit(mixRate, softwareChannels)) {
        endWithSoundError(lastErrorLine(), LibraryState::NotOpen);
    }
    std::FILE* file = std::fopen(dataPath(name).c_str(), "rb");
    if (file == nullptr) {
        endWithSoundError(std::string("File not found ") + name + "\n", LibraryState::Open);
    }
    size_t length = 0;
    std::unique_ptr<unsigned char[]> block = readOpenFile(file, length);
    std::fclose(file);
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
