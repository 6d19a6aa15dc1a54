#include "shell/startup.h"

bool startDemo() {
    return true;
}

void shutdownDemo() {}
