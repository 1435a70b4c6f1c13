#pragma once

// The passes of a frame, in the order of the pass table (the frame draws them in another).
enum class RenderPass { Shadow, FlameGlow, Glow, Main, Transparent, Hud };
