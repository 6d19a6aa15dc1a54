// Messages on Windows: the same "CAPTION: TEXT" record on stderr as on Linux
// (shown when the demo runs from a console or with its output redirected),
// then SDL's message box, which is MessageBoxW. Windows always has a desktop
// to put the box on; only unattended runs switch it off.
#include <SDL.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/message.h"
#include "platform/wide_text.h"

namespace {

bool dialogsSuppressed = false;

bool environmentIs(const char* name, const char* value) {
    const char* actual = std::getenv(name);
    return actual != nullptr && std::strcmp(actual, value) == 0;
}

// A console shows UTF-8 bytes in its own code page, so text goes to it as
// UTF-16; a file or pipe gets the UTF-8 bytes as they are.
void writeRecord(const std::string& record) {
    std::fflush(stderr);
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    const std::optional<std::wstring> wide = wideFromUtf8(record);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) &&
        wide) {
        DWORD written = 0;
        WriteConsoleW(handle, wide->data(), static_cast<DWORD>(wide->size()), &written, nullptr);
        return;
    }
    std::fwrite(record.data(), 1, record.size(), stderr);
    std::fflush(stderr);
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
    writeRecord(record);

    if (dialogsSuppressed || environmentIs("VELMORRA_NO_DIALOGS", "1") ||
        environmentIs("SDL_VIDEODRIVER", "dummy")) {
        return;
    }
    std::string captionText(caption);
    std::string bodyText(text);
    SDL_ShowSimpleMessageBox(boxFlags(icon), captionText.c_str(), bodyText.c_str(), nullptr);
}
