#pragma once

#include <string>

// What a capture name asks for, decided the same way in every build (the
// browser build has no frame writer but reads the same options).

// A video for OUT ending in .mp4, .mkv or .webm; anything else is a PNG
// directory.
bool isVideoOutput(const std::string& output);

// ffmpeg refuses a picture unless (width + 128) * (height + 128) stays under
// INT_MAX / 8: 16255 x 16255 at the most for a square frame.
bool videoSizeFits(int width, int height);
extern const char* const videoSizeLimitText;
