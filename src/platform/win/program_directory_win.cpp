// The program's directory on Windows: the executable's own path from
// GetModuleFileNameW, kept as UTF-8 so that a folder named in any language
// reaches the file calls (which widen it again) unchanged. The media are the
// data\ folder beside the executable; Windows has no installed tree.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/program_directory.h"
#include "platform/wide_text.h"

namespace {

constexpr std::string_view mediaPrefix = "data\\";

std::string directory = ".\\";
std::string media = ".\\data\\";

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

const std::string& programDirectory() {
    return directory;
}

const std::string& mediaDirectory() {
    return media;
}

std::string directoryOf(std::string_view path) {
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos) {
        return ".\\";
    }
    return std::string(path.substr(0, cut + 1));
}

void setProgramDirectory(std::string_view newDirectory) {
    directory.assign(newDirectory);
    if (directory.empty()) {
        directory = ".\\";
    } else if (!isSeparator(directory.back())) {
        directory.push_back('\\');
    }
    media = directory + std::string(mediaPrefix);
}

bool locateProgramDirectory() {
    // The call truncates silently when the buffer is short (answering its
    // size), so grow until the path fits; a path is at most 32767 units.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return false;
        }
        if (length < buffer.size()) {
            const std::string path = utf8FromWide(std::wstring_view(buffer.data(), length));
            setProgramDirectory(directoryOf(path));
            return true;
        }
        if (buffer.size() > 32768) {
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string dataPath(std::string_view name) {
    // Media names are written with either separator; Windows takes both, but
    // one kind throughout keeps the paths in messages readable.
    std::string turned(name);
    std::replace(turned.begin(), turned.end(), '/', '\\');
    if (turned.starts_with(mediaPrefix)) {
        return media + turned.substr(mediaPrefix.size());
    }
    return directory + turned;
}
