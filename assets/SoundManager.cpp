#include "assets/SoundManager.h"
// placeholder: replaced by the real implementation
SoundManager& SoundManager::instance() { static SoundManager m; return m; }
void SoundManager::initSound(bool, bool) {}
void SoundManager::playSound(int, bool) {}
void SoundManager::setVolume(float) {}
bool SoundManager::hasDevice() const { return false; }
float SoundManager::masterVolume() const { return 0.0f; }
std::string SoundManager::soundFile(int) { return ""; }
bool SoundManager::isPlaying(const std::string&) const { return false; }
