#pragma once

#include <string_view>

// Every message the demo shows goes through here: the start-up failures, the
// help box, "Error loading" for a picture and the sound library's errors.
enum class MessageIcon { None, Information, Error };

// Writes one record "CAPTION: TEXT" to stderr, then shows a modal box when a
// display is available and dialogs are not switched off. Never blocks without
// a display.
void showMessage(std::string_view caption, std::string_view text, MessageIcon icon);

// Offline capture and tests run unattended: no box may wait for a click.
void suppressDialogs();
