#pragma once
#include <string>
#include <vector>

// A Windows icon file (.ico) holding the desktop icon at each of these sizes, each stored as a
// PNG, which Windows reads in icons since Vista. Returns false when it cannot be written.
bool writeWindowsIcon(const std::string& path, const std::vector<int>& sizes);
