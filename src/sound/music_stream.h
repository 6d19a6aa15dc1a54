#pragma once

#include <cstdint>

struct SoundStream;

// The soundtrack: the sound library opened and one MP3 file streamed from
// memory. Every sound-library failure is fatal: it is shown in a box captioned
// "FMOD", the display is given back and the process exits with code 1.
class MusicStream {
public:
    // Initialises the library (44100 Hz, 32 channels) and opens the file
    // (relative to the program directory) as a stream, not yet playing.
    // Returns only when the library is open and the file was read; data that
    // is not playable is reported by play().
    explicit MusicStream(const char* name);
    // Closes the stream, then the library.
    virtual ~MusicStream();

    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Starts the music; returns only when it plays.
    void play();

    int32_t playingChannel() const { return channel; }

private:
    SoundStream* stream = nullptr;
    int32_t channel = -1;
};
