#pragma once
#include <string>

// Start-up failures are fatal: print the message, then the reason (when there is one) on the
// error stream, pause the console, exit with status -1 (255).
[[noreturn]] void failStartup(const std::string& message, const std::string& reason = "");
