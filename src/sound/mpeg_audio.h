#pragma once

#include <cstddef>
#include <cstdint>

// Whether bytes begin (after any ID3v2 tags) with MPEG audio frames: a valid
// frame header, and a second one exactly where the first frame ends (or the
// data ending there). The mixer's MP3 decoder hunts through anything for a
// frame sync and plays what it finds, so a WAV or any other file would play as
// silence; this check refuses such data before it reaches the decoder.
bool isMpegAudio(const uint8_t* bytes, size_t length);
