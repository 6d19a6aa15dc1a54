#pragma once

#include <string>
#include <utility>
#include <vector>

// Runs a program to its end with extra environment settings and collects what
// it wrote. An environment value of nullptr-like "<unset>" removes the name.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

constexpr const char* unsetVariable = "<unset>";

// environment with one more setting (or unsetVariable to remove the name).
Environment withVariable(Environment environment, const std::string& name,
                         const std::string& value);

// Applies the settings to this process's environment (run in a child before
// exec).
void applyEnvironment(const Environment& environment);

ProcessResult runProgram(const std::vector<std::string>& arguments, const Environment& environment,
                         int timeoutSeconds = 120);

// The environment every run of the real binary starts from: offscreen video,
// dummy audio, no dialogs.
Environment headlessEnvironment();

// A fresh, empty directory under the system's temporary directory, removed
// with all it holds when the test program ends.
std::string makeTemporaryDirectory(const std::string& stem);

// Copies the demo binary into directory, so that it finds its media in
// directory/data. Returns the copy's path.
std::string installBinaryCopy(const std::string& directory);
