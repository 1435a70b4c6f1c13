#pragma once
#include "Image.h"

#include <string>
#include <vector>

// 8-bit RGBA PNG without a time stamp, so the same image always gives the same bytes; empty
// when libpng fails.
std::vector<unsigned char> encodePng(const RgbaImage& image);

// Writes the bytes as the whole file; false when there are none or the file cannot be written.
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// encodePng into a file. Returns false when the file cannot be written.
bool writePng(const std::string& path, const RgbaImage& image);
