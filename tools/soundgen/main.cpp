// Writes the game's fourteen sound files into the folder given as the only argument
// (the run folder's "Tindral/Audio"). Everything is synthesised from fixed seeds, so every
// build writes the same sounds.
#include <functional>
#include <iostream>
#include <iterator>
#include <string>

#include "assets/Sound.h"

#include "Effects.h"
#include "Mp3Writer.h"
#include "Music.h"

namespace {

using Maker = std::function<soundgen::Track()>;

// How each of the game's sounds is made, in the order of the game's sound table; a sound with a
// second file (the jump) has a second maker.
struct SoundMakers {
    Sound sound;
    Maker make;
    Maker makeOther;
};

const SoundMakers kMakers[] = {
    {Sound::Ambient, [] { return soundgen::makeMusic(soundgen::ambientStyle()); }, nullptr},
    {Sound::Fast, [] { return soundgen::makeMusic(soundgen::fastStyle()); }, nullptr},
    {Sound::Hardcore, [] { return soundgen::makeMusic(soundgen::hardcoreStyle()); }, nullptr},
    {Sound::ForgetIt, [] { return soundgen::makeMusic(soundgen::forgetItStyle()); }, nullptr},
    {Sound::Footsteps, soundgen::makeFootstep, nullptr},
    {Sound::Jump, soundgen::makeJump, soundgen::makeJumpHigh},
    {Sound::HeroBurning, soundgen::makeBurningHero, nullptr},
    {Sound::Falling, soundgen::makeFalling, nullptr},
    {Sound::FlameBurning, soundgen::makeFlameLoop, nullptr},
    {Sound::FlameBurning2, soundgen::makeBlazeLoop, nullptr},
    {Sound::FlameBurning3, soundgen::makeFlare, nullptr},
    {Sound::CubeRotating, soundgen::makeCubeRotating, nullptr},
    {Sound::CubeMoving, soundgen::makeCubeMoving, nullptr},
    {Sound::CubeBreaking, soundgen::makeCubeBreak, nullptr},
};

// Every file the table names has a maker, and every maker a file.
bool makersMatchTheTable()
{
    if (std::size(kMakers) != soundTable.size())
        return false;
    for (std::size_t i = 0; i < soundTable.size(); ++i)
        if (kMakers[i].sound != soundTable[i].sound || !kMakers[i].make ||
            (soundTable[i].otherFile != nullptr) != static_cast<bool>(kMakers[i].makeOther))
            return false;
    return true;
}

// Music and fires are long and dark: 64 kbit/s mono is transparent enough for them.
constexpr int kBitrate = 64;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: soundgen AUDIO_FOLDER" << std::endl;
        return 2;
    }
    if (!makersMatchTheTable()) {
        std::cerr << "soundgen: its makers do not match the game's sound table" << std::endl;
        return 1;
    }
    const std::string folder = argv[1];
    for (std::size_t i = 0; i < soundTable.size(); ++i) {
        const SoundFiles& files = soundTable[i];
        if (!soundgen::writeMp3(kMakers[i].make(), folder + "/" + files.file, kBitrate))
            return 1;
        if (files.otherFile && !soundgen::writeMp3(kMakers[i].makeOther(), folder + "/" + files.otherFile, kBitrate))
            return 1;
    }
    return 0;
}
