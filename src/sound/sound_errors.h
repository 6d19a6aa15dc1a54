#pragma once

// Error codes of the sound library. soundGetError() reports one of them and
// soundErrorText() turns it into the text shown in the "FMOD" box.
enum SoundErrorCode : int {
    soundErrorNone = 0,
    soundErrorAlreadyInitialised = 1,
    soundErrorNotInitialised = 2,
    soundErrorOutputDevice = 3,
    soundErrorPlay = 5,
    soundErrorFileNotFound = 9,
    soundErrorUnknownFormat = 10,
    soundErrorOutOfMemory = 12,
    soundErrorInvalidParameter = 14,
    soundErrorChannelAllocation = 17,
};

// A constant text for every known code; any other code, negative ones
// included, gives "Unknown error".
const char* soundErrorText(int code);
