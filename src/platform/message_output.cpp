// Messages on Linux and in the browser: the record goes to stderr as it is,
// and a box needs a display.
#include "platform/message_output.h"

#include <cstdio>
#include <cstdlib>

void writeMessageRecord(const std::string& record) {
    std::fwrite(record.data(), 1, record.size(), stderr);
    std::fflush(stderr);
}

bool messageBoxPossible() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    bool haveDisplay = (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
    // The offscreen and dummy drivers have no screen to put a box on.
    return haveDisplay && !environmentIs("SDL_VIDEODRIVER", "offscreen") &&
           !environmentIs("SDL_VIDEODRIVER", "dummy");
}
