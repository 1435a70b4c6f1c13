#include "scene/LevelReader.h"
// placeholder: replaced by the real implementation
LevelLayout parseLevel(std::istream&) { return {}; }
int cellIndex(float, float) { return 0; }
int cellHeight(const std::vector<int>&, int) { return 0; }
