#include <cerrno>
#include <optional>

#include "platform/file_opening.h"
#include "platform/wide_text.h"

std::FILE* openFileForWriting(const std::string& path) {
    const std::optional<std::wstring> wide = wideFromUtf8(path);
    if (!wide) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(wide->c_str(), L"wb");
}
