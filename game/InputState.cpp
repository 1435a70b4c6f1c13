#include "game/InputState.h"
// placeholder: replaced by the real implementation
InputState& inputState() { static InputState s; return s; }
void onKey(GLFWwindow*, int, int, int, int) {}
glm::vec3 moveDirection() { return glm::vec3(0.0f); }
