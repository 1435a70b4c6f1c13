#pragma once
// The GLFW key and action codes the rules speak in. Only the constants: the game calls no
// window-system function and needs no GL header.
#ifndef GLFW_INCLUDE_NONE
#define GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>
