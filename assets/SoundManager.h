#pragma once
#include "assets/Sound.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

struct SDL_Thread;

// The game's one way to make a sound: each sound maps to a file under "Tindral/Audio/".
// Without an audio device every call returns at once and the game runs silent.
class SoundManager {
public:
    static SoundManager& instance();

    // Starts opening the audio device on a thread of its own (when a switch is on), so that
    // the sound system's probing for devices runs while the window is made. initSound takes
    // that device, or that failure, over.
    void openDeviceEarly(bool musicEnabled, bool effectsEnabled);
    // Copies the two switches, opens the audio device (once, and only when a switch is on)
    // and starts the first ambient track, looped. The ambient track's lines go to `console`.
    void initSound(bool musicEnabled, bool effectsEnabled, std::ostream& console = std::cout);
    // Starts the sound's file unless a sound of that very file still plays, as far as its
    // switch allows. Music streams from its file as it plays (one track at a time: another
    // track takes its place); effects are decoded whole on their first request and kept.
    void playSound(Sound sound, bool loop, std::ostream& console = std::cout);
    // Master volume of everything that plays, now and later; clamped to 0..1.
    void setVolume(float volume);
    // Does what the game asked, in the order it asked, with its lines on `console`.
    void play(const std::vector<SoundRequest>& requests, std::ostream& console = std::cout);
    // Holds everything that plays where it is (a minimised game is silent), or lets it go on.
    void setPaused(bool paused);

    bool hasDevice() const;
    float masterVolume() const;
    // The file a sound is played from, relative to "Tindral/Audio/". A sound with two files
    // (the jump) draws rand() between them.
    static std::string soundFile(Sound sound);
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
    static std::unique_ptr<Impl> openedDevice(); // null when no device could be opened
    // Runs on a thread SDL made: SDL keeps per-thread state that it clears up only there.
    static int openEarly(void* manager);
    std::unique_ptr<Impl> impl_;
    SDL_Thread* earlyThread_ = nullptr;
    std::unique_ptr<Impl> earlyDevice_; // written by that thread, read once it has ended
    bool music_ = false;
    bool effects_ = false;
};
