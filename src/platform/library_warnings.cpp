#include "platform/library_warnings.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

void capLibraryWarnings(const std::function<void()>& call, int shown) {
    std::fflush(stderr);
    // A temporary file, not a pipe: nothing has to read while call runs.
    std::FILE* caught = std::tmpfile();
    const int saved = caught != nullptr ? dup(STDERR_FILENO) : -1;
    if (saved < 0 || dup2(fileno(caught), STDERR_FILENO) < 0) {
        if (caught != nullptr) {
            std::fclose(caught);
        }
        if (saved >= 0) {
            close(saved);
        }
        call();
        return;
    }
    call();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::rewind(caught);
    long lines = 0;
    char line[512];
    while (std::fgets(line, sizeof line, caught) != nullptr) {
        const bool whole = line[0] != '\0' && line[std::strlen(line) - 1] == '\n';
        if (lines < shown) {
            std::fputs(line, stderr);
            if (!whole) {
                continue;  // the rest of a long line follows
            }
        }
        lines += whole ? 1 : 0;
    }
    std::fclose(caught);
    if (lines > shown) {
        std::fprintf(stderr, "velmorra: %ld more warning(s) like these\n", lines - shown);
    }
}
