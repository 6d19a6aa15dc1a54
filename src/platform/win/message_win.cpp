// Messages on Windows: the same "CAPTION: TEXT" record on stderr as on Linux
// (shown when the demo runs from a console or with its output redirected);
// the box is SDL's, which is MessageBoxW. Windows always has a desktop to put
// the box on; only unattended runs switch it off.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "platform/message_output.h"
#include "platform/wide_text.h"

// A console shows UTF-8 bytes in its own code page, so text goes to it as
// UTF-16; a file or pipe gets the UTF-8 bytes as they are.
void writeMessageRecord(const std::string& record) {
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

bool messageBoxPossible() {
    return !environmentIs("SDL_VIDEODRIVER", "dummy");
}
