// The Windows entry point. The program is a GUI program (no console window
// opens when it is started from Explorer); its arguments are read as UTF-16,
// so that a capture folder named in any language arrives intact, and handed
// on as UTF-8 like everywhere else in the demo.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "platform/win/console.h"
#include "shell/entry.h"

int main() {
    attachParentConsole();
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return 1;
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return demoMain(count, argv.data());
}
