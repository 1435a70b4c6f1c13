#pragma once
#include <string>

// Keeps a console window readable before the process ends: waits for Enter, but only
// when someone is at a terminal, so scripts and CI never hang.
void pauseConsole();

// Start-up failures are fatal: print the message, pause, exit with status -1 (255).
[[noreturn]] void failStartup(const std::string& message);
