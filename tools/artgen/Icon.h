#pragma once
#include "Image.h"

// The desktop icon: the hero in his red tunic on a stone column, lit by the flame burning
// beside him, on a night-dark tile. Drawn from shapes, so every size is sharp.
RgbaImage paintIcon(int size);
