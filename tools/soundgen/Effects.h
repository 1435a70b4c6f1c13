#pragma once
#include "Synth.h"

namespace soundgen {

// The hero's and the world's effects. Loops (the burning fires) repeat exactly over their
// length; the others are one-shots that start at once and end in silence.
Track makeFootstep();
Track makeJump();
Track makeJumpHigh();
Track makeBurningHero();
Track makeFalling();
Track makeFlameLoop();
Track makeBlazeLoop();
Track makeFlare();
Track makeCubeRotating();
Track makeCubeMoving();
Track makeCubeBreak();

} // namespace soundgen
