// Whole-file reading on Windows: the path is UTF-8, widened for CreateFileW
// so that a folder named in any language is found, and only a file on disk
// is read (a pipe, the console or a device such as NUL is refused).
#include <windows.h>

#include <algorithm>
#include <new>
#include <optional>

#include "media/file_reading.h"
#include "platform/wide_text.h"

namespace {

// Closes the handle on every way out.
struct FileHandle {
    HANDLE handle;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

HANDLE openForReading(const std::string& path, DWORD flags) {
    const std::optional<std::wstring> wide = wideFromUtf8(path);
    if (!wide) {
        return INVALID_HANDLE_VALUE;
    }
    // Others may read and even replace the file meanwhile, as on Linux.
    return CreateFileW(wide->c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, flags, nullptr);
}

}  // namespace

std::unique_ptr<uint8_t[]> readWholeFile(const std::string& path, size_t& size, size_t maxBytes) {
    size = 0;
    FileHandle file{openForReading(path, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN)};
    if (file.handle == INVALID_HANDLE_VALUE || GetFileType(file.handle) != FILE_TYPE_DISK) {
        return nullptr;
    }
    // The length comes from the file system, and is checked before anything
    // is allocated.
    LARGE_INTEGER reported{};
    if (!GetFileSizeEx(file.handle, &reported) || reported.QuadPart <= 0 ||
        static_cast<unsigned long long>(reported.QuadPart) > maxBytes) {
        return nullptr;
    }
    const auto length = static_cast<size_t>(reported.QuadPart);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[length]);
    if (!buffer) {
        return nullptr;
    }
    size_t done = 0;
    while (done < length) {
        // One call reads at most a DWORD's worth.
        const DWORD want = static_cast<DWORD>(std::min<size_t>(length - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.handle, buffer.get() + done, want, &got, nullptr) || got == 0) {
            // The file shrank or the device failed: refuse what was read.
            return nullptr;
        }
        done += got;
    }
    size = length;
    return buffer;
}

bool canOpenFile(const std::string& path) {
    // FILE_FLAG_BACKUP_SEMANTICS lets a directory open, as open() does on Linux.
    const FileHandle file{openForReading(path, FILE_FLAG_BACKUP_SEMANTICS)};
    return file.handle != INVALID_HANDLE_VALUE;
}
