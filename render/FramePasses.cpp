#include "game/Game.h"
// placeholder: replaced by the real implementation
void Game::render(int) {}
