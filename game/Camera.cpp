#include "game/Camera.h"
// placeholder: replaced by the real implementation
void Camera::changeSite() {}
void Camera::step(float) {}
glm::mat4 Camera::computeView(glm::vec3, glm::vec3) { return glm::mat4(1.0f); }
