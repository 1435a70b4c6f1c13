#pragma once
#include <string>

// The game's one way to make a sound: ids 0-13 map to files under "Tindral/Audio/".
// Without an audio device every call returns at once and the game runs silent.
class SoundManager {
public:
    static SoundManager& instance();

    void initSound(bool musicEnabled, bool effectsEnabled);
    void playSound(int id, bool loop);
    void setVolume(float volume);

    bool hasDevice() const;
    float masterVolume() const;
    // The file a sound id names, relative to "Tindral/Audio/" ("" for an unknown id).
    // Id 5 draws between its two jump files.
    static std::string soundFile(int id);
    bool isPlaying(const std::string& path) const;

private:
    SoundManager() = default;
    struct Impl;
    Impl* impl_ = nullptr;
    bool music_ = false;
    bool effects_ = false;
};
