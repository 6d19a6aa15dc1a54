#pragma once

#include <string>

#include "audio.h"

// Encodes stereo audio as a constant-bitrate MP3 with LAME and writes it to
// path. The file carries a LAME tag, so decoders drop the encoder's delay and
// padding and the decoded length equals the input length.
bool encodeMp3(const Stereo& audio, int kilobitsPerSecond, const std::string& path,
               std::string& error);

// Decodes an MP3 file with mpg123 to float samples (values above 1 are kept,
// so overshoot shows). Mono files come back with both channels equal;
// channels tells how many the file has.
bool decodeMp3(const std::string& path, Stereo& audio, int& channels, std::string& error);
