#pragma once

#include <string>
#include <vector>

#include "shell/options.h"

// The ffmpeg command line, program name first, that reads raw RGB frames
// (bottom row first) of options' size from its standard input and encodes
// them into options.output, with the music at musicPath as the soundtrack
// when withMusic.
std::vector<std::string> encoderArguments(const CaptureOptions& options,
                                          const std::string& musicPath, bool withMusic);
