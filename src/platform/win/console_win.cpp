#include <windows.h>

#include <cstdio>

#include "platform/win/console.h"

namespace {

bool leadsSomewhere(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

void attachParentConsole() {
    const bool output = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool error = leadsSomewhere(STD_ERROR_HANDLE);
    // Redirected (to a file, a pipe, or by Wine to its terminal): keep that.
    if (output && error) {
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (!output && std::freopen("CONOUT$", "w", stdout) != nullptr) {
        SetStdHandle(STD_OUTPUT_HANDLE,
                     CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    }
    if (!error && std::freopen("CONOUT$", "w", stderr) != nullptr) {
        std::setvbuf(stderr, nullptr, _IONBF, 0);
        SetStdHandle(STD_ERROR_HANDLE,
                     CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    }
}
