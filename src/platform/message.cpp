#include "platform/message.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool dialogsSuppressed = false;

bool environmentIs(const char* name, const char* value) {
    const char* actual = std::getenv(name);
    return actual != nullptr && std::strcmp(actual, value) == 0;
}

bool displayAvailable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    bool haveDisplay = (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
    // The offscreen and dummy drivers have no screen to put a box on.
    return haveDisplay && !environmentIs("SDL_VIDEODRIVER", "offscreen") &&
           !environmentIs("SDL_VIDEODRIVER", "dummy");
}

Uint32 boxFlags(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return SDL_MESSAGEBOX_INFORMATION;
        case MessageIcon::Error:
            return SDL_MESSAGEBOX_ERROR;
        case MessageIcon::None:
            break;
    }
    return 0;
}

}  // namespace

void suppressDialogs() {
    dialogsSuppressed = true;
}

void showMessage(std::string_view caption, std::string_view text, MessageIcon icon) {
    std::string record;
    record.reserve(caption.size() + text.size() + 3);
    record.append(caption).append(": ").append(text);
    if (record.empty() || record.back() != '\n') {
        record.push_back('\n');
    }
    std::fwrite(record.data(), 1, record.size(), stderr);
    std::fflush(stderr);

    if (dialogsSuppressed || environmentIs("VELMORRA_NO_DIALOGS", "1") || !displayAvailable()) {
        return;
    }
    std::string captionText(caption);
    std::string bodyText(text);
    SDL_ShowSimpleMessageBox(boxFlags(icon), captionText.c_str(), bodyText.c_str(), nullptr);
}
