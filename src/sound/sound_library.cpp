#include "sound/sound_library.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "platform/library_warnings.h"
#include "platform/thread_priority.h"
#include "sound/mpeg_audio.h"
#include "sound/sound_errors.h"

struct SoundStream {
    Mix_Music* music = nullptr;
};

namespace {

bool initialised = false;
int channelCount = 0;
int lastError = soundErrorNone;
SoundStream* playingStream = nullptr;
std::vector<SoundStream*> openStreams;

// The mixer plays music outside its sample channels, so the one stream that
// can play at a time is reported on the first channel.
constexpr int musicChannel = 0;
// The pictures follow the music as the mixer delivers it, so a larger buffer
// costs no sync, only a later start; 2048 frames (46 ms at 44.1 kHz) leaves
// the audio thread room on a busy machine where 1024 underran.
constexpr int mixerChunkSize = 2048;

int mixRate = 0;
int bytesPerFrame = 4;
const char* driverName = "";

// Written on the audio thread after each mixed chunk, read by the clock.
std::mutex mixedLock;
MixedMusic mixed;
uint32_t lastChunkFrames = 0;

bool fail(int code) {
    lastError = code;
    return false;
}

bool isOpen(const SoundStream* stream) {
    return std::find(openStreams.begin(), openStreams.end(), stream) != openStreams.end();
}

void releaseMusic(SoundStream* stream) {
    if (stream == playingStream) {
        Mix_HaltMusic();
        playingStream = nullptr;
    }
    if (stream->music != nullptr) {
        Mix_FreeMusic(stream->music);
        stream->music = nullptr;
    }
}

// Runs on the audio thread, inside the mixer's lock, after every chunk: the
// music was mixed into this chunk exactly when it is playing now.
void SDLCALL countMixedMusic(void*, Uint8*, int length) {
    const int64_t stamp = performanceCounter();
    // A late chunk is a gap in the music and the pictures wait for it, so the
    // audio thread asks to run ahead of all ordinary work, once.
    static thread_local bool askedForRealTime = false;
    if (!askedForRealTime) {
        askedForRealTime = true;
        raiseThreadToRealTime();
    }
    const auto frames = static_cast<uint32_t>(length / bytesPerFrame);
    const bool playing = Mix_PlayingMusic() != 0;
    std::lock_guard<std::mutex> hold(mixedLock);
    lastChunkFrames = frames;
    if (playing) {
        mixed.framesBefore += mixed.chunkFrames;
        mixed.chunkFrames = frames;
        mixed.stampCount = stamp;
        mixed.firstStampCount = mixed.chunks == 0 ? stamp : mixed.firstStampCount;
        ++mixed.chunks;
    } else if (mixed.chunks > 0) {
        mixed.ended = true;
    }
}

void startCountingMixedMusic() {
    std::lock_guard<std::mutex> hold(mixedLock);
    mixed = MixedMusic{};
}

}  // namespace

bool soundInit(int rate, int maxChannels) {
    if (initialised) {
        return fail(soundErrorAlreadyInitialised);
    }
    if (rate <= 0 || maxChannels <= 0) {
        return fail(soundErrorInvalidParameter);
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return fail(soundErrorOutputDevice);
    }
    // SDL runs its audio thread at its highest ordinary priority; SDL's own
    // real-time hint would, without RealtimeKit, leave it at the normal one,
    // so countMixedMusic asks for real time itself.
    if (Mix_OpenAudio(rate, AUDIO_S16SYS, 2, mixerChunkSize) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return fail(soundErrorOutputDevice);
    }
    int channels = 2;
    Uint16 format = AUDIO_S16SYS;
    Mix_QuerySpec(&mixRate, &format, &channels);
    bytesPerFrame = std::max(1, SDL_AUDIO_BITSIZE(format) / 8 * channels);
    driverName = SDL_GetCurrentAudioDriver() != nullptr ? SDL_GetCurrentAudioDriver() : "";
    lastChunkFrames = mixerChunkSize;
    Mix_SetPostMix(countMixedMusic, nullptr);
    // Without the MP3 decoder every open fails later as an unknown format.
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(maxChannels);
    channelCount = maxChannels;
    initialised = true;
    return true;
}

int soundGetError() {
    return lastError;
}

SoundStream* soundStreamOpenMemory(const void* block, size_t length) {
    if (!initialised) {
        fail(soundErrorNotInitialised);
        return nullptr;
    }
    if (block == nullptr || length == 0 || length > static_cast<size_t>(INT32_MAX) ||
        !isMpegAudio(static_cast<const uint8_t*>(block), length)) {
        fail(soundErrorUnknownFormat);
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(block, static_cast<int>(length));
    if (source == nullptr) {
        fail(soundErrorOutOfMemory);
        return nullptr;
    }
    // The mixer closes the reader itself, on failure as well as with the music.
    // The MP3 decoder reads the whole file here and prints a warning for
    // every fault it skips (millions for a file of empty tags): a few are
    // shown.
    Mix_Music* music = nullptr;
    capLibraryWarnings([&] { music = Mix_LoadMUSType_RW(source, MUS_MP3, SDL_TRUE); }, 5);
    if (music == nullptr) {
        fail(soundErrorUnknownFormat);
        return nullptr;
    }
    auto* stream = new SoundStream{music};
    openStreams.push_back(stream);
    return stream;
}

int soundStreamPlay(SoundStream* stream) {
    if (!initialised) {
        fail(soundErrorNotInitialised);
        return -1;
    }
    if (stream == nullptr) {
        if (lastError == soundErrorNone) {
            fail(soundErrorInvalidParameter);
        }
        return -1;
    }
    if (!isOpen(stream) || stream->music == nullptr) {
        fail(soundErrorInvalidParameter);
        return -1;
    }
    if (playingStream != nullptr && playingStream != stream && Mix_PlayingMusic() != 0) {
        fail(soundErrorChannelAllocation);
        return -1;
    }
    startCountingMixedMusic();
    if (Mix_PlayMusic(stream->music, 0) != 0) {
        fail(soundErrorPlay);
        return -1;
    }
    playingStream = stream;
    return musicChannel;
}

bool soundSetPan(int channel, int pan) {
    if (!initialised) {
        return fail(soundErrorNotInitialised);
    }
    if (channel < 0 || channel >= channelCount || pan < -1 || pan > 255) {
        return fail(soundErrorInvalidParameter);
    }
    return true;
}

bool soundStreamClose(SoundStream* stream) {
    if (stream == nullptr || !isOpen(stream)) {
        return fail(soundErrorInvalidParameter);
    }
    releaseMusic(stream);
    openStreams.erase(std::find(openStreams.begin(), openStreams.end(), stream));
    delete stream;
    return true;
}

void soundClose() {
    if (!initialised) {
        return;
    }
    for (SoundStream* stream : openStreams) {
        releaseMusic(stream);
    }
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    driverName = "";
    mixRate = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    channelCount = 0;
    initialised = false;
}

MixedMusic soundMixedMusic() {
    std::lock_guard<std::mutex> hold(mixedLock);
    return mixed;
}

int soundMixRate() {
    return mixRate;
}

int soundBufferFrames() {
    std::lock_guard<std::mutex> hold(mixedLock);
    return static_cast<int>(lastChunkFrames);
}

const char* soundDriverName() {
    return driverName;
}
