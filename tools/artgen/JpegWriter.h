#pragma once
#include "Image.h"

#include <string>

enum class Chroma { Subsampled, Full };

// Baseline JPEG. Normal maps use full chroma resolution: their colour is the data.
// Returns false when the file cannot be written.
bool writeJpeg(const std::string& path, const Image& image, int quality, Chroma chroma);
