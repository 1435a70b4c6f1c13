#include "assets/SoundManager.h"

#include "TestSupport.h"

#include <SDL_mixer.h>
#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iostream>

namespace {

const std::string kAmbient = "Ambient/ambient1.mp3";
const std::string kJump = "Hero/jump.mp3";
const std::string kJumpHigh = "Hero/jump1.mp3";
const std::string kSteps = "Hero/going.mp3";
const std::string kBurning = "Enemy/burning.mp3";
constexpr double kSilent = 1e-4;
constexpr double kAudible = 0.01;

// The sound manager is a process-wide single instance whose device opens once, and SDL
// picks its driver at that moment: every scenario runs in a fresh process of its own. Its
// failures are collected there and handed to the parent on the error stream.
void runIsolated(const std::function<void()>& scenario)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            testing::TestPartResultArray failures;
            {
                testing::ScopedFakeTestPartResultReporter collect(
                    testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
                scenario();
            }
            for (int i = 0; i < failures.size(); ++i)
                std::cerr << failures.GetTestPartResult(i) << std::endl;
            std::_Exit(failures.size() == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

bool waitUntil(const std::function<bool()>& condition, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(10)))
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    return true;
}

double rms(const std::vector<float>& x, std::size_t from, std::size_t count)
{
    double sum = 0.0;
    for (std::size_t i = from; i < from + count; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(count));
}

// SDL's disk driver writes the final mix (16-bit stereo at 44.1 kHz) in real time: what the
// mix holds over the next seconds, skipping what may have been mixed before.
class DiskOutput {
public:
    DiskOutput()
    {
        test_platform::setEnvironment("SDL_AUDIODRIVER", "disk");
        test_platform::setEnvironment("SDL_DISKAUDIOFILE", recording_.target());
    }

    // Both channels' samples, -1..1; none if the mix stalls.
    std::vector<float> next(double seconds)
    {
        const std::uintmax_t from = recording_.size() + bytes(0.1), to = from + bytes(seconds);
        if (!waitUntil([&] { return recording_.size() >= to; }, 10.0 + seconds))
            return {};
        const std::string written = recording_.bytes(from, to);
        if (written.size() != to - from)
            return {};
        std::vector<std::int16_t> samples(written.size() / 2);
        std::memcpy(samples.data(), written.data(), 2 * samples.size());
        std::vector<float> mix(samples.size());
        std::transform(samples.begin(), samples.end(), mix.begin(), [](std::int16_t s) { return s / 32768.0f; });
        return mix;
    }
    // 0..1; -1 if the mix stalls.
    double rmsOfNext(double seconds)
    {
        const std::vector<float> mix = next(seconds);
        return mix.empty() ? -1.0 : rms(mix, 0, mix.size());
    }

private:
    static std::uintmax_t bytes(double seconds) { return static_cast<std::uintmax_t>(seconds * 44100) * 4; }
    test_platform::MixRecording recording_;
};

SoundManager& sound()
{
    return SoundManager::instance();
}

// Puts one of the game's sound files into a data folder of a test's own, under another name.
void copyAudio(const TempFolder& data, const std::string& file, const std::string& as)
{
    const std::filesystem::path target = data.path() / "Tindral/Audio" / as;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file("Tindral/Audio/" + file, target);
}

} // namespace

// The ambient track streams as music from the start, at 0.6 of full, and is not restarted.
// The volume is clamped to 0..1 (the flame's distance formula runs past both ends), a NaN is
// ignored, and it reaches what plays and what starts later.
TEST(SoundManagerTest, TheAmbientTrackPlaysFromTheStartAndTheVolumeReachesEverySound)
{
    runIsolated([] {
        DiskOutput output;
        testing::internal::CaptureStdout();
        sound().initSound(true, true);
        sound().playSound(Sound::Ambient, true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "playsound - ambient \n play Ambient\n play Ambient\n");
        EXPECT_TRUE(Mix_PlayingMusic()) << "the ambient track streams as music";
        EXPECT_GT(output.rmsOfNext(0.3), kAudible) << "the mix is silent after initSound, or asking again stopped it";
        EXPECT_EQ(Mix_Volume(-1, -1), 77) << "0.6 of full";
        EXPECT_EQ(Mix_VolumeMusic(-1), 77);
        for (const auto& [set, mixer] :
             {std::pair{0.3f, 38}, {1.03f, MIX_MAX_VOLUME}, {-0.4f, 0}, {std::nanf(""), 0}}) {
            sound().setVolume(set);
            EXPECT_EQ(Mix_Volume(-1, -1), mixer) << set;
            EXPECT_EQ(Mix_VolumeMusic(-1), mixer) << set;
        }
        sound().playSound(Sound::FlameBurning, true);
        EXPECT_TRUE(sound().isPlaying(kBurning));
        EXPECT_LT(output.rmsOfNext(0.2), kSilent) << "at 0 the ambient and an effect started later are silent";
    });
}

// A device opened while the window is made is the one the game plays through; with both
// switches off none is kept, even when one was asked for early.
TEST(SoundManagerTest, ADeviceOpenedEarlyIsTheOneThatPlays)
{
    runIsolated([] {
        DiskOutput output;
        sound().openDeviceEarly(true, true);
        testing::internal::CaptureStdout();
        sound().initSound(true, true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "playsound - ambient \n play Ambient\n");
        EXPECT_TRUE(sound().hasDevice());
        EXPECT_GT(output.rmsOfNext(0.3), kAudible) << "the early device is silent";
    });
    runIsolated([] {
        test_platform::setEnvironment("SDL_AUDIODRIVER", "dummy");
        sound().openDeviceEarly(true, false);
        sound().initSound(false, false);
        EXPECT_FALSE(sound().hasDevice()) << "a device stays open for nothing to play";
    });
}

// With music off no music id plays and effects do. A file that still plays is not started
// again (footsteps are asked for every frame), one that ended is, and a jump uses both files.
TEST(SoundManagerTest, WithMusicOffEffectsPlayAndAPlayingFileIsNotStartedAgain)
{
    runIsolated([] {
        DiskOutput output;
        testing::internal::CaptureStdout();
        sound().initSound(false, true);
        for (const SoundFiles& files : soundTable)
            if (files.music)
                sound().playSound(files.sound, true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "playsound - ambient \n");
        EXPECT_FALSE(Mix_PlayingMusic()) << "a music id played with music off";
        EXPECT_LT(output.rmsOfNext(0.2), kSilent);

        for (int i = 0; i < 40; ++i)
            sound().playSound(Sound::Jump, false);
        EXPECT_TRUE(sound().isPlaying(kJump) && sound().isPlaying(kJumpHigh)) << "40 jumps did not use both files";
        EXPECT_EQ(Mix_Playing(-1), 2) << "a jump file was started twice";
        ASSERT_TRUE(waitUntil([] { return Mix_Playing(-1) == 0; }, 10.0)) << "the jumps never ended";

        for (int twice = 0; twice < 2; ++twice) {
            sound().playSound(Sound::Footsteps, false);
            sound().playSound(Sound::FlameBurning, true);
        }
        EXPECT_EQ(Mix_Playing(-1), 2);
        EXPECT_GT(output.rmsOfNext(0.3), kAudible) << "an effect is not heard with music off";
        ASSERT_TRUE(waitUntil([] { return !sound().isPlaying(kSteps); }, 5.0)) << "footsteps never ended";
        sound().playSound(Sound::Footsteps, false);
        EXPECT_EQ(Mix_Playing(-1), 2) << "the footsteps did not start again, or the looping burn stopped";
    });
}

// Files missing or corrupt, FIFOs (SDL would wait for a writer forever) and folders start
// nothing, print nothing and are never opened. A file is decoded on its first request only,
// so a footstep asked for every frame does not read the disk every frame.
TEST(SoundManagerTest, BadFilesStartNothingAndFilesAreDecodedOnce)
{
    runIsolated([] {
        TempFolder data;
        copyAudio(data, kSteps, kSteps);
        writeText(data.path() / "Tindral/Audio/Hero/dying_falling.mp3", "not an mp3 at all");
        WatchedFifo ambient(data.path() / "Tindral/Audio" / kAmbient);
        WatchedFifo burning(data.path() / "Tindral/Audio" / kBurning);
        for (const std::string& jump : {kJump, kJumpHigh})
            std::filesystem::create_directories(data.path() / "Tindral/Audio" / jump);
        WorkingDirectory inData(data.path());

        DiskOutput output;
        testing::internal::CaptureStdout();
        sound().initSound(true, true); // the ambient track, as music
        for (Sound bad : {Sound::HeroBurning, Sound::Falling, Sound::FlameBurning, Sound::Jump})
            sound().playSound(bad, true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "playsound - ambient \n play Ambient\n");
        EXPECT_LT(output.rmsOfNext(0.2), kSilent);
        EXPECT_FALSE(ambient.opened()) << "the music FIFO was opened";
        EXPECT_FALSE(burning.opened()) << "the effect FIFO was opened";

        sound().playSound(Sound::Footsteps, false);
        EXPECT_TRUE(sound().isPlaying(kSteps)) << "a good file after the bad ones is silent";
        ASSERT_TRUE(waitUntil([] { return !sound().isPlaying(kSteps); }, 5.0)) << "footsteps never ended";
        std::filesystem::remove_all(data.path() / "Tindral");
        sound().playSound(Sound::Footsteps, false);
        EXPECT_TRUE(sound().isPlaying(kSteps)) << "footsteps were not kept decoded after their file went away";
    });
}

// Without a device every call returns at once, prints nothing but the start-up line (ALSA's
// own complaints included, the common case of a machine without a sound card) and draws no
// random number.
TEST(SoundManagerTest, WithoutAnAudioDeviceEveryCallReturnsSilently)
{
    for (const char* driver : {"tindral-no-such-driver", "alsa"}) {
        SCOPED_TRACE(driver);
        runIsolated([driver] {
            test_platform::setEnvironment("SDL_AUDIODRIVER", driver);
            test_platform::setEnvironment("ALSA_CONFIG_PATH", "/nonexistent/tindral/alsa.conf");
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            sound().initSound(true, true);
            std::srand(3);
            const int firstDraw = std::rand();
            std::srand(3);
            for (const SoundFiles& files : soundTable)
                sound().playSound(files.sound, files.music);
            sound().setVolume(0.5f);
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "playsound - ambient \n");
            EXPECT_EQ(std::rand(), firstDraw) << "the jump drew a random number";
        });
    }
}

// The generated files decode, are neither silent nor clipped, and a loop joins seamlessly:
// no encoder padding leaves a quiet gap at either end. With effects off only the music plays.
TEST(SoundManagerTest, GeneratedSoundFilesDecodeAndLoopsHaveNoGapAtTheirJoin)
{
    runIsolated([] {
        DiskOutput output;
        sound().initSound(true, false); // the mixer decodes for the device it has open
        std::vector<std::string> files = {kJumpHigh};
        for (const SoundFiles& sound : soundTable)
            files.push_back(sound.file);
        for (const std::string& file : files) {
            SCOPED_TRACE(file);
            Mix_Chunk* chunk = Mix_LoadWAV(("Tindral/Audio/" + file).c_str());
            ASSERT_NE(chunk, nullptr);
            std::vector<float> x(chunk->alen / 4); // mono files: the left channel tells all
            for (std::size_t i = 0; i < x.size(); ++i)
                x[i] = reinterpret_cast<const std::int16_t*>(chunk->abuf)[2 * i] / 32768.0f;
            Mix_FreeChunk(chunk);

            const bool music = file.rfind("Ambient/", 0) == 0;
            const double seconds = static_cast<double>(x.size()) / 44100.0;
            EXPECT_TRUE(music ? seconds >= 30.0 && seconds <= 60.0 : seconds < 7.0) << seconds;
            EXPECT_GT(rms(x, 0, x.size()), 0.02);
            const auto [low, high] = std::minmax_element(x.begin(), x.end());
            EXPECT_TRUE(*low > -0.98f && *high < 0.98f) << "clipped";
            if (!music && file != kBurning && file != "Enemy/burning2.mp3")
                continue;
            const std::size_t window = 220, edge = 2205, n = x.size(); // 5 ms, 50 ms
            double quietestInside = 1.0;
            for (std::size_t i = edge; i + window < n - edge; i += window)
                quietestInside = std::min(quietestInside, rms(x, i, window));
            for (std::size_t i = 0; i < edge; i += window) {
                EXPECT_GT(rms(x, i, window), 0.5 * quietestInside) << "quiet gap at the start";
                EXPECT_GT(rms(x, n - window - i, window), 0.5 * quietestInside) << "quiet gap at the end";
            }
        }
        for (const SoundFiles& files : soundTable)
            if (!files.music)
                sound().playSound(files.sound, false);
        EXPECT_TRUE(sound().isPlaying(kAmbient));
        EXPECT_EQ(Mix_Playing(-1), 0) << "an effect played with effects off";
    });
}

// Music streams from its file, yet a looped track comes round without a gap (the fire's 4 s
// loop stands in for the ambient track's 48 s). A looped effect comes round again and again;
// one played once ends. A paused mix is silent and goes on when let go (a minimised game).
TEST(SoundManagerTest, LoopsPlayOnWithoutAGapOnceEndsAndAPauseSilencesEverything)
{
    runIsolated([] {
        TempFolder data;
        copyAudio(data, kBurning, kAmbient);
        copyAudio(data, kSteps, kSteps);
        copyAudio(data, kSteps, kBurning); // a loop of half a second, not four
        WorkingDirectory inData(data.path());
        DiskOutput output;
        sound().initSound(true, true);
        const std::vector<float> mix = output.next(5.0); // one join of the music, about 4 s in
        ASSERT_FALSE(mix.empty());
        std::vector<double> levels; // of 10 ms of both channels each
        for (std::size_t i = 0; i + 882 <= mix.size(); i += 882)
            levels.push_back(rms(mix, i, 882));
        std::sort(levels.begin(), levels.end());
        const double typical = levels[levels.size() / 2];
        EXPECT_GT(typical, kAudible);
        EXPECT_GT(levels.front(), 0.25 * typical) << "a quiet gap in the looping track";

        sound().playSound(Sound::FlameBurning, true);
        sound().playSound(Sound::Footsteps, false);
        EXPECT_GT(output.rmsOfNext(1.6), kAudible) << "three rounds of the effect's loop and more";
        EXPECT_TRUE(sound().isPlaying(kBurning)) << "the loop stopped";
        EXPECT_FALSE(sound().isPlaying(kSteps)) << "a sound played once went on";
        sound().setPaused(true);
        EXPECT_LT(output.rmsOfNext(0.3), kSilent) << "paused, something still sounds";
        sound().setPaused(false);
        EXPECT_GT(output.rmsOfNext(0.3), kAudible) << "let go, nothing sounds again";
        EXPECT_TRUE(Mix_Paused(-1) == 0 && !Mix_PausedMusic()) << "let go, something stays paused";
    });
}
