#pragma once

#include <string>

// The two things a message does differently on each platform: where its
// "CAPTION: TEXT" record is written, and whether a box can be shown at all.

// Writes the whole record (it ends with a newline) to stderr.
void writeMessageRecord(const std::string& record);

// False where there is no screen to put a box on.
bool messageBoxPossible();

// True when the environment variable name holds exactly value.
bool environmentIs(const char* name, const char* value);
