#pragma once

// A GUI program started from a console gets no console of its own, so its
// stdout and stderr lead nowhere. When they are not redirected, this attaches
// them to the console of the process that started the demo (cmd.exe or
// PowerShell), if there is one: messages, --help and the capture's progress
// then show there, and Ctrl-C, Ctrl-Break and closing that console reach the
// demo. Started from Explorer there is no such console and nothing changes.
// Call first thing in the program.
void attachParentConsole();
