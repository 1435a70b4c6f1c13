#include "assets/SoundManager.h"

#include "assets/AudioPlatform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unordered_map>
#include <vector>

namespace {

const char* const kAudioFolder = "Tindral/Audio/";
// The rate every game sound is made at: the mixer never resamples a file, so a looped
// track's end meets its start sample for sample.
constexpr int kMixRate = 44100;
// Music, the flame's loop, steps, jumps and the rest at once, with room to spare.
constexpr int kMixChannels = 16;
constexpr int kBufferFrames = 1024;

int mixerVolume(float volume)
{
    return static_cast<int>(std::lround(volume * MIX_MAX_VOLUME));
}

} // namespace

// The open audio device, the decoded files and what each mixer channel was last given.
// Music streams: a track is decoded while it plays, a little at a time, so start-up never
// waits for a whole track. Effects are short and decoded whole on their first request.
struct SoundManager::Impl {
    ~Impl();
    bool open();
    Mix_Chunk* decoded(const std::string& file);
    Mix_Music* opened(const std::string& file);
    int playingChannel(const std::string& file) const;
    bool musicPlaying(const std::string& file) const;

    std::unordered_map<std::string, Mix_Chunk*> cache; // nullptr: the file could not be decoded
    std::unordered_map<std::string, Mix_Music*> music; // nullptr: the file could not be opened
    std::vector<std::string> channelFile;
    std::string musicFile; // the track last started
    float master = 1.0f;
    int appliedVolume = -1; // the mixer's volume as last set, 0..MIX_MAX_VOLUME
};

bool SoundManager::Impl::open()
{
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Tindral");
    // SDL would catch SIGINT and SIGTERM and only post a quit event, which a game that reads
    // no SDL events never sees: Ctrl+C and kill would not stop it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    audio_platform::silenceDeviceProbing();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    Mix_Init(MIX_INIT_MP3);
    // No format changes allowed: SDL converts to whatever the hardware wants in its own
    // continuous stream, so our chunks stay at the files' rate.
    if (Mix_OpenAudioDevice(kMixRate, AUDIO_S16SYS, 2, kBufferFrames, nullptr, 0) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    channelFile.assign(static_cast<std::size_t>(Mix_AllocateChannels(kMixChannels)), std::string());
    return true;
}

SoundManager::Impl::~Impl()
{
    // Channels must stop before their chunks go away; the mixer runs on its own thread.
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (auto& entry : cache) {
        if (entry.second)
            Mix_FreeChunk(entry.second);
    }
    for (auto& entry : music) {
        if (entry.second)
            Mix_FreeMusic(entry.second);
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Files are read on their first request only; a footstep asked for every frame must not
// touch the disk every frame, not even when its file is missing (kept as nullptr). Anything
// but a regular file counts as missing: SDL would open a FIFO and wait for a writer forever.
template <class Sound, class Load>
Sound* loadedOnce(std::unordered_map<std::string, Sound*>& loaded, const std::string& file, Load load)
{
    auto found = loaded.find(file);
    if (found == loaded.end()) {
        const std::string path = kAudioFolder + file;
        std::error_code error;
        Sound* sound = std::filesystem::is_regular_file(path, error) ? load(path.c_str()) : nullptr;
        found = loaded.emplace(file, sound).first;
    }
    return found->second;
}

// The file is closed here, not by the mixer: it leaves a file it cannot tell the format of
// open, and on Windows an open file cannot be deleted or replaced.
namespace {
Mix_Chunk* decodeEffect(const char* path)
{
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (file == nullptr)
        return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 0);
    SDL_RWclose(file);
    return chunk;
}
} // namespace

Mix_Chunk* SoundManager::Impl::decoded(const std::string& file)
{
    return loadedOnce(cache, file, decodeEffect);
}

Mix_Music* SoundManager::Impl::opened(const std::string& file)
{
    return loadedOnce(music, file, Mix_LoadMUS);
}

bool SoundManager::Impl::musicPlaying(const std::string& file) const
{
    return !musicFile.empty() && musicFile == file && Mix_PlayingMusic();
}

int SoundManager::Impl::playingChannel(const std::string& file) const
{
    for (std::size_t channel = 0; channel < channelFile.size(); ++channel) {
        if (channelFile[channel] == file && Mix_Playing(static_cast<int>(channel)))
            return static_cast<int>(channel);
    }
    return -1;
}

SoundManager::SoundManager() = default;

SoundManager::~SoundManager()
{
    if (earlyThread_)
        SDL_WaitThread(earlyThread_, nullptr);
}

SoundManager& SoundManager::instance()
{
    static SoundManager manager;
    return manager;
}

std::unique_ptr<SoundManager::Impl> SoundManager::openedDevice()
{
    auto device = std::make_unique<Impl>();
    return device->open() ? std::move(device) : nullptr;
}

int SoundManager::openEarly(void* manager)
{
    static_cast<SoundManager*>(manager)->earlyDevice_ = openedDevice();
    return 0;
}

void SoundManager::openDeviceEarly(bool musicEnabled, bool effectsEnabled)
{
    if (!impl_ && !earlyThread_ && (musicEnabled || effectsEnabled))
        earlyThread_ = SDL_CreateThread(openEarly, "audio probe", this);
}

void SoundManager::initSound(bool musicEnabled, bool effectsEnabled, std::ostream& console)
{
    music_ = musicEnabled;
    effects_ = effectsEnabled;
    // A device opened early is taken as it came out, even when it failed: probing again would
    // only cost the time saved. With both switches off nothing can ever play, and no device
    // is kept open for it.
    const bool triedEarly = earlyThread_ != nullptr;
    if (triedEarly) {
        SDL_WaitThread(earlyThread_, nullptr);
        earlyThread_ = nullptr;
    }
    std::unique_ptr<Impl> early = std::move(earlyDevice_);
    if (!impl_ && (musicEnabled || effectsEnabled))
        impl_ = triedEarly ? std::move(early) : openedDevice();
    if (impl_)
        setVolume(0.6f);
    console << "playsound - ambient " << std::endl;
    playSound(Sound::Ambient, true, console);
}

void SoundManager::playSound(Sound sound, bool loop, std::ostream& console)
{
    if (!impl_)
        return;
    const bool music = filesOf(sound).music;
    if (music && music_) {
        if (sound == Sound::Ambient)
            console << " play Ambient" << std::endl;
        startMusicUnlessPlaying(soundFile(sound), loop);
    } else if (!music && effects_) {
        startUnlessPlaying(soundFile(sound), loop);
    }
}

void SoundManager::play(const std::vector<SoundRequest>& requests, std::ostream& console)
{
    for (const SoundRequest& request : requests) {
        switch (request.kind) {
        case SoundRequest::Kind::SetUp: initSound(request.music, request.effects, console); break;
        case SoundRequest::Kind::Play: playSound(request.sound, request.loop, console); break;
        case SoundRequest::Kind::Volume: setVolume(request.volume); break;
        }
    }
}

void SoundManager::startMusicUnlessPlaying(const std::string& file, bool loop)
{
    if (impl_->musicPlaying(file))
        return;
    Mix_Music* track = impl_->opened(file);
    if (!track || Mix_PlayMusic(track, loop ? -1 : 1) != 0)
        return;
    impl_->musicFile = file;
}

void SoundManager::startUnlessPlaying(const std::string& file, bool loop)
{
    if (impl_->playingChannel(file) >= 0)
        return;
    Mix_Chunk* chunk = impl_->decoded(file);
    if (!chunk)
        return;
    const int channel = Mix_PlayChannel(-1, chunk, loop ? -1 : 0);
    if (channel < 0 || channel >= static_cast<int>(impl_->channelFile.size()))
        return; // every channel busy: the sound is dropped like any other that cannot start
    impl_->channelFile[static_cast<std::size_t>(channel)] = file;
    Mix_Volume(channel, mixerVolume(impl_->master));
}

void SoundManager::setVolume(float volume)
{
    if (!impl_)
        return;
    // The flame's distance formula runs past both ends of the range; a NaN would come from
    // a broken distance and is ignored rather than turned into an arbitrary loudness.
    if (std::isnan(volume))
        return;
    impl_->master = std::clamp(volume, 0.0f, 1.0f);
    // The flame sets the volume every frame; the mixer, locked for each change, only needs
    // to hear of the steps it can play. Channel volumes persist, so setting them all also
    // covers channels started later.
    const int mixer = mixerVolume(impl_->master);
    if (mixer == impl_->appliedVolume)
        return;
    impl_->appliedVolume = mixer;
    Mix_Volume(-1, mixer);
    Mix_VolumeMusic(mixer);
}

void SoundManager::setPaused(bool paused)
{
    if (!impl_)
        return;
    if (paused) {
        Mix_Pause(-1);
        Mix_PauseMusic();
    } else {
        Mix_Resume(-1);
        Mix_ResumeMusic();
    }
}

bool SoundManager::hasDevice() const
{
    return impl_ != nullptr;
}

float SoundManager::masterVolume() const
{
    return impl_ ? impl_->master : 0.0f;
}

std::string SoundManager::soundFile(Sound sound)
{
    const SoundFiles& files = filesOf(sound);
    if (files.otherFile && std::rand() % 2 != 0)
        return files.otherFile;
    return files.file;
}

bool SoundManager::isPlaying(const std::string& file) const
{
    return impl_ && (impl_->playingChannel(file) >= 0 || impl_->musicPlaying(file));
}
