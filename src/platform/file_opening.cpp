#include "platform/file_opening.h"

// C++20 takes UTF-8 file names as char8_t text; on Linux that is the same
// bytes, on Windows it is converted to the UTF-16 the system uses.
std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}
