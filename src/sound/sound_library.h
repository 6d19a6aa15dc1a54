#pragma once

#include <cstddef>
#include <cstdint>

// A small sound library over SDL2_mixer, shaped after the calls the music
// stream makes: initialise the output, open an MP3 stream from a block of
// memory, play it on a channel, close the stream, close the library. Every
// failing call records an error code (sound/sound_errors.h) that
// soundGetError() reports until the next failure. One thread only.

// An open stream. Handles stay valid until soundStreamClose, even across
// soundClose (the stream's data is released then, the handle is not).
struct SoundStream;

// Opens the default output at mixRate Hz, 16-bit stereo, with maxChannels
// software channels. False with soundErrorOutputDevice when no audio device
// can be opened, soundErrorAlreadyInitialised when already open.
bool soundInit(int mixRate, int maxChannels);

// The code of the most recent failure, soundErrorNone if nothing failed.
int soundGetError();

// Opens an MP3 stream that decodes straight from block. The library never
// copies or frees the block: it must stay allocated while the stream exists.
// Null with soundErrorUnknownFormat when the data is not a playable MP3: it
// must begin (after any ID3v2 tags) with MPEG audio frames.
SoundStream* soundStreamOpenMemory(const void* block, size_t length);

// Starts the stream from its beginning, once through. Returns its channel,
// or -1 on failure. A null stream (what a failed open gives) fails and keeps
// the open's error as the reason. Only one stream plays at a time.
int soundStreamPlay(SoundStream* stream);

// Accepts a pan for a channel (-1 for plain stereo, 0 left to 255 right).
// The output is always plain stereo, so nothing audible changes.
bool soundSetPan(int channel, int pan);

// Stops the stream if it plays and releases it; the handle is then invalid.
bool soundStreamClose(SoundStream* stream);

// Stops everything and closes the output. Streams still open lose their data
// and must still be closed to release their handles.
void soundClose();

// What the mixer has handed to the audio device of the playing music,
// counted as each chunk is mixed (on the audio thread) and read as one
// consistent snapshot from any thread.
struct MixedMusic {
    uint64_t chunks = 0;          // chunks with music in them
    uint64_t framesBefore = 0;    // music frames mixed before the latest chunk
    uint32_t chunkFrames = 0;     // frames in the latest chunk
    int64_t stampCount = 0;       // performance counter when it was mixed
    int64_t firstStampCount = 0;  // ... and when the music's first chunk was
    bool ended = false;           // the music played and has stopped
};

MixedMusic soundMixedMusic();

// The output as it was opened: frames per second and per device buffer, and
// SDL's name of the audio driver ("" before soundInit).
int soundMixRate();
int soundBufferFrames();
const char* soundDriverName();
