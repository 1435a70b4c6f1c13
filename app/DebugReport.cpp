#include "app/DebugSwitches.h"
#include "game/Game.h"
// placeholder: replaced by the real implementation
DebugSwitches& debugSwitches() { static DebugSwitches s; return s; }
void Game::printDebugReport(float) {}
void Game::applyTextureSampling(int, bool) {}
