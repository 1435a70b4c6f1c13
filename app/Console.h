#pragma once
#include <string>

// Start-up failures are fatal: print the message, pause the console, exit with status -1
// (255).
[[noreturn]] void failStartup(const std::string& message);
