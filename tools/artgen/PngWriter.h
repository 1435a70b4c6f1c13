#pragma once
#include "Image.h"

#include <string>

// 8-bit RGBA PNG without a time stamp, so the same image always gives the same bytes.
// Returns false when the file cannot be written.
bool writePng(const std::string& path, const RgbaImage& image);
