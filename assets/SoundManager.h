#pragma once
#include <memory>
#include <string>

// The game's one way to make a sound: ids 0-13 map to files under "Tindral/Audio/".
// Without an audio device every call returns at once and the game runs silent.
class SoundManager {
public:
    static SoundManager& instance();

    // Copies the two switches, opens the audio device (once, and only when a switch is on)
    // and starts the first ambient track, looped.
    void initSound(bool musicEnabled, bool effectsEnabled);
    // Starts the id's file unless a sound of that very file still plays; ids 0-3 are music,
    // 4-13 effects, anything else plays nothing. Music streams from its file as it plays
    // (one track at a time: another track takes its place); effects are decoded whole on
    // their first request and kept.
    void playSound(int id, bool loop);
    // Master volume of everything that plays, now and later; clamped to 0..1.
    void setVolume(float volume);
    // Holds everything that plays where it is (a minimised game is silent), or lets it go on.
    void setPaused(bool paused);

    bool hasDevice() const;
    float masterVolume() const;
    // The file a sound id names, relative to "Tindral/Audio/" ("" for an unknown id).
    // Id 5 draws rand() between its two jump files.
    static std::string soundFile(int id);
    // Whether a sound of this file (relative to "Tindral/Audio/") is playing now.
    bool isPlaying(const std::string& file) const;

    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

private:
    SoundManager();
    ~SoundManager();
    void startUnlessPlaying(const std::string& file, bool loop);
    void startMusicUnlessPlaying(const std::string& file, bool loop);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool music_ = false;
    bool effects_ = false;
};
