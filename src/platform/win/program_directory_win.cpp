// The program's directory on Windows: the executable's own path from
// GetModuleFileNameW, kept as UTF-8 so that a folder named in any language
// reaches the file calls (which widen it again) unchanged. The media are the
// data\ folder beside the executable; Windows has no installed tree.
#include <windows.h>

#include <vector>

#include "platform/path_style.h"
#include "platform/program_directory.h"
#include "platform/wide_text.h"

const char pathSeparator = '\\';
const char* const pathSeparators = "\\/";

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
