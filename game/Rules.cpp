#include "game/Game.h"
// placeholder: replaced by the real implementation
void Game::update(double) {}
void Game::handleInput(float) {}
