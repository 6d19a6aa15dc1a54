#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stereo sine tone (both channels equal) encoded as MP3 by the media
// generator's encoder: music for tests that need a playable file.
bool writeToneMp3(const std::string& path, double seconds, double frequency);

// The same tone's MP3 bytes; empty (and a test failure) when encoding fails.
std::vector<uint8_t> toneMp3(double seconds, double frequency);
