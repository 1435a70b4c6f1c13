#pragma once
#include <array>
#include <cstddef>
#include <vector>

// Every sound of the game. Music plays one track at a time; effects play side by side.
enum class Sound {
    Ambient, // the first ambient track, looped from the start
    Fast,    // further tracks, which nothing asks for yet
    Hardcore,
    ForgetIt,
    Footsteps,    // the hero walking
    Jump,         // the hero taking off: one of two files, drawn by chance
    HeroBurning,  // the hero too close to the flame
    Falling,      // the hero falling below the level
    FlameBurning, // the flame's own loop
    FlameBurning2,
    FlameBurning3,
    CubeRotating,
    CubeMoving,
    CubeBreaking,
};

struct SoundFiles {
    Sound sound;
    bool music;
    // Under "Tindral/Audio/". A second file is played instead of the first by chance.
    const char* file;
    const char* otherFile;
};

// The one table of the game's sound files.
constexpr std::array<SoundFiles, 14> soundTable = {{
    {Sound::Ambient, true, "Ambient/ambient1.mp3", nullptr},
    {Sound::Fast, true, "Ambient/fast.mp3", nullptr},
    {Sound::Hardcore, true, "Ambient/hardcore.mp3", nullptr},
    {Sound::ForgetIt, true, "Ambient/forget_it.mp3", nullptr},
    {Sound::Footsteps, false, "Hero/going.mp3", nullptr},
    {Sound::Jump, false, "Hero/jump.mp3", "Hero/jump1.mp3"},
    {Sound::HeroBurning, false, "Hero/dying_flame.mp3", nullptr},
    {Sound::Falling, false, "Hero/dying_falling.mp3", nullptr},
    {Sound::FlameBurning, false, "Enemy/burning.mp3", nullptr},
    {Sound::FlameBurning2, false, "Enemy/burning2.mp3", nullptr},
    {Sound::FlameBurning3, false, "Enemy/burning3.mp3", nullptr},
    {Sound::CubeRotating, false, "Cube/rotating.mp3", nullptr},
    {Sound::CubeMoving, false, "Cube/moving.mp3", nullptr},
    {Sound::CubeBreaking, false, "Cube/break.mp3", nullptr},
}};

constexpr const SoundFiles& filesOf(Sound sound)
{
    return soundTable[static_cast<std::size_t>(sound)];
}

// One thing the game wants heard: the sound system set up with its two switches (which starts
// the first ambient track), a sound started, or the master volume set.
struct SoundRequest {
    enum class Kind { SetUp, Play, Volume };
    Kind kind;
    Sound sound = Sound::Ambient; // Play
    bool loop = false;            // Play
    float volume = 0.0f;          // Volume
    bool music = false;           // SetUp
    bool effects = false;         // SetUp

    bool operator==(const SoundRequest& other) const
    {
        return kind == other.kind && sound == other.sound && loop == other.loop && volume == other.volume &&
               music == other.music && effects == other.effects;
    }
};

// What a simulation asks to be heard, in the order it asked; whoever plays sound takes them.
class SoundRequests {
public:
    void setUp(bool music, bool effects)
    {
        made_.push_back({SoundRequest::Kind::SetUp, Sound::Ambient, false, 0.0f, music, effects});
    }
    void play(Sound sound, bool loop) { made_.push_back({SoundRequest::Kind::Play, sound, loop}); }
    void setVolume(float volume) { made_.push_back({SoundRequest::Kind::Volume, Sound::Ambient, false, volume}); }
    // Moves another's requests behind these, in their order.
    void takeFrom(SoundRequests& other)
    {
        made_.insert(made_.end(), other.made_.begin(), other.made_.end());
        other.made_.clear();
    }
    std::vector<SoundRequest> take()
    {
        std::vector<SoundRequest> taken;
        taken.swap(made_);
        return taken;
    }
    bool empty() const { return made_.empty(); }
    const std::vector<SoundRequest>& made() const { return made_; }

private:
    std::vector<SoundRequest> made_;
};

constexpr bool soundTableInOrder()
{
    for (std::size_t i = 0; i < soundTable.size(); ++i)
        if (static_cast<std::size_t>(soundTable[i].sound) != i)
            return false;
    return true;
}
static_assert(soundTableInOrder(), "soundTable lists the sounds in their order");
