// Output that appears whole or not at all, on Windows: MoveFileEx puts a
// finished file in place (replacing only when asked), and the directory lock
// is a lock file opened with no sharing, deleted when it is closed.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <random>

#include "platform/file_opening.h"
#include "platform/output_files.h"

namespace {

std::string systemMessage(DWORD code) {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string message(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

// Tries fresh names until make(name) succeeds or fails for another reason
// than the name being taken.
template <typename Make>
std::string uniqueName(const std::string& directory, const std::string& stem,
                       const std::string& suffix, const char* what, Make make, std::string& error) {
    std::random_device seed;
    std::mt19937 random(seed());
    const std::string base =
        (directory.empty() ? std::string(".") : directory) + "/.velmorra-" + stem + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = base + std::to_string(random() % 1000000) + suffix;
        if (make(pathFromUtf8(name).wstring())) {
            return name;
        }
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            error = std::string("cannot create a temporary ") + what + " in " +
                    (directory.empty() ? "." : directory) + ": " + systemMessage(code);
            return "";
        }
    }
    error = std::string("cannot create a temporary ") + what + " in " + directory;
    return "";
}

}  // namespace

std::string createTemporaryFile(const std::string& directory, const std::string& stem,
                                const std::string& suffix, std::string& error) {
    return uniqueName(
        directory, stem, suffix, "file",
        [](const std::wstring& name) {
            HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                return false;
            }
            CloseHandle(file);
            return true;
        },
        error);
}

std::string createTemporaryDirectory(const std::string& directory, const std::string& stem,
                                     std::string& error) {
    return uniqueName(
        directory, stem, "", "directory",
        [](const std::wstring& name) { return CreateDirectoryW(name.c_str(), nullptr) != 0; },
        error);
}

Placed putInPlace(const std::string& from, const std::string& to, bool replace,
                  std::string& error) {
    const DWORD flags = replace ? MOVEFILE_REPLACE_EXISTING : 0;
    if (MoveFileExW(pathFromUtf8(from).wstring().c_str(), pathFromUtf8(to).wstring().c_str(),
                    flags) != 0) {
        return Placed::Done;
    }
    const DWORD code = GetLastError();
    if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
        return Placed::NameTaken;
    }
    error = "cannot write " + to + ": " + systemMessage(code);
    return Placed::Failed;
}

bool DirectoryLock::take(const std::string& directory, std::string& error) {
    release();
    const std::string name = directory + "/.velmorra.lock";
    HANDLE file =
        CreateFileW(pathFromUtf8(name).wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = code == ERROR_SHARING_VIOLATION
                    ? directory + " is in use by another capture, which holds " + name
                    : "cannot lock " + directory + ": " + systemMessage(code);
        return false;
    }
    descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY);
    path = name;
    return true;
}

void DirectoryLock::release() {
    if (descriptor >= 0) {
        _close(descriptor);  // deletes the lock file
        descriptor = -1;
    }
}
