#include "platform/message.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/message_output.h"

namespace {

bool dialogsSuppressed = false;

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

bool environmentIs(const char* name, const char* value) {
    const char* actual = std::getenv(name);
    return actual != nullptr && std::strcmp(actual, value) == 0;
}

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
    writeMessageRecord(record);

    if (dialogsSuppressed || environmentIs("VELMORRA_NO_DIALOGS", "1") || !messageBoxPossible()) {
        return;
    }
    std::string captionText(caption);
    std::string bodyText(text);
    SDL_ShowSimpleMessageBox(boxFlags(icon), captionText.c_str(), bodyText.c_str(), nullptr);
}
