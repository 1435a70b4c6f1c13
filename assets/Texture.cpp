#include "assets/Texture.h"
// placeholder: replaced by the real implementation
Texture::Texture(std::string) {}
Texture::~Texture() {}
void applyTextureFilter(int, int) {}
