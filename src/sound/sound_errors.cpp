#include "sound/sound_errors.h"

#include <array>

namespace {

// Indexed by code. The texts are the library's own, spacing included.
constexpr std::array<const char*, 20> errorTexts = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

}  // namespace

const char* soundErrorText(int code) {
    // Compared unsigned, so a negative code falls outside the table.
    const unsigned index = static_cast<unsigned>(code);
    if (index >= errorTexts.size()) {
        return "Unknown error";
    }
    return errorTexts[index];
}
