#include "render/RenderTarget.h"
// placeholder: replaced by the real implementation
RenderTarget::~RenderTarget() {}
bool RenderTarget::init(int, int) { return true; }
void RenderTarget::bindAndClear() const {}
void RenderTarget::bindColorTexture() const {}
void RenderTarget::clearColorTransparent() {}
