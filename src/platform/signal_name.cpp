#include "platform/signal_name.h"

#include <iterator>

std::string signalName(int number) {
    static const char* const names[] = {
        nullptr,  "SIGHUP",  "SIGINT",  "SIGQUIT", "SIGILL",  "SIGTRAP", "SIGABRT", "SIGBUS",
        "SIGFPE", "SIGKILL", "SIGUSR1", "SIGSEGV", "SIGUSR2", "SIGPIPE", "SIGALRM", "SIGTERM"};
    if (number > 0 && number < static_cast<int>(std::size(names))) {
        return names[number];
    }
    return "signal " + std::to_string(number);
}
