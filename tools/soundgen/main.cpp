// Writes the game's fourteen sound files into the folder given as the only argument
// (the run folder's "Tindral/Audio"). Everything is synthesised from fixed seeds, so every
// build writes the same sounds.
#include <functional>
#include <iostream>
#include <string>

#include "Effects.h"
#include "Mp3Writer.h"
#include "Music.h"

namespace {

struct SoundFile {
    const char* path; // relative to the audio folder, as the game names it
    std::function<soundgen::Track()> make;
};

const SoundFile kSounds[] = {
    {"Ambient/ambient1.mp3", [] { return soundgen::makeMusic(soundgen::ambientStyle()); }},
    {"Ambient/fast.mp3", [] { return soundgen::makeMusic(soundgen::fastStyle()); }},
    {"Ambient/hardcore.mp3", [] { return soundgen::makeMusic(soundgen::hardcoreStyle()); }},
    {"Ambient/forget_it.mp3", [] { return soundgen::makeMusic(soundgen::forgetItStyle()); }},
    {"Hero/going.mp3", soundgen::makeFootstep},
    {"Hero/jump.mp3", soundgen::makeJump},
    {"Hero/jump1.mp3", soundgen::makeJumpHigh},
    {"Hero/dying_flame.mp3", soundgen::makeBurningHero},
    {"Hero/dying_falling.mp3", soundgen::makeFalling},
    {"Enemy/burning.mp3", soundgen::makeFlameLoop},
    {"Enemy/burning2.mp3", soundgen::makeBlazeLoop},
    {"Enemy/burning3.mp3", soundgen::makeFlare},
    {"Cube/rotating.mp3", soundgen::makeCubeRotating},
    {"Cube/moving.mp3", soundgen::makeCubeMoving},
    {"Cube/break.mp3", soundgen::makeCubeBreak},
};

// Music and fires are long and dark: 64 kbit/s mono is transparent enough for them.
constexpr int kBitrate = 64;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: soundgen AUDIO_FOLDER" << std::endl;
        return 2;
    }
    const std::string folder = argv[1];
    for (const SoundFile& sound : kSounds) {
        if (!soundgen::writeMp3(sound.make(), folder + "/" + sound.path, kBitrate))
            return 1;
    }
    return 0;
}
