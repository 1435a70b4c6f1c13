#include "assets/SoundManager.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const std::string kAmbient = "Ambient/ambient1.mp3";
const std::string kJump = "Hero/jump.mp3";
const std::string kJumpHigh = "Hero/jump1.mp3";
const std::string kSteps = "Hero/going.mp3";
const std::string kBurning = "Enemy/burning.mp3";
constexpr double kSilent = 1e-4;
constexpr double kAudible = 0.01;

// Failures of a scenario that runs in a child process; the parent shows them on failure.
class Checks {
public:
    void expect(bool ok, const std::string& what)
    {
        if (!ok)
            failures_ << what << "\n";
    }
    [[noreturn]] void finish()
    {
        std::cerr << failures_.str() << std::flush;
        std::_Exit(failures_.str().empty() ? 0 : 1);
    }

private:
    std::ostringstream failures_;
};

// The sound manager is a process-wide single instance whose device opens once, and SDL
// picks its driver at that moment: every scenario gets a fresh process of its own.
void runIsolated(const std::function<void(Checks&)>& scenario)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Checks checks;
            scenario(checks);
            checks.finish();
        },
        ::testing::ExitedWithCode(0), "");
}

bool waitUntil(const std::function<bool()>& condition, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

double rms(const std::vector<float>& x, std::size_t from, std::size_t count)
{
    double sum = 0.0;
    for (std::size_t i = from; i < from + count; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(count));
}

// SDL's disk driver writes the final mix (16-bit stereo at 44.1 kHz) to a file in real time.
class DiskOutput {
public:
    DiskOutput() : path_(::testing::TempDir() + "tindral_sound_" + std::to_string(::getpid()) + ".raw")
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    ~DiskOutput() { std::remove(path_.c_str()); }

    // RMS (0..1) of the mix over the next `seconds`, skipping what may have been mixed before.
    double rmsOfNext(double seconds)
    {
        const std::uintmax_t from = size() + bytes(0.1);
        const std::uintmax_t to = from + bytes(seconds);
        if (!waitUntil([&] { return size() >= to; }, 10.0))
            return -1.0;
        std::ifstream in(path_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(from));
        std::vector<std::int16_t> samples((to - from) / 2);
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
        std::vector<float> mix(samples.begin(), samples.end());
        return rms(mix, 0, mix.size()) / 32768.0;
    }

private:
    static std::uintmax_t bytes(double seconds) { return static_cast<std::uintmax_t>(seconds * 44100) * 4; }
    std::uintmax_t size() const
    {
        std::error_code error;
        const std::uintmax_t n = std::filesystem::file_size(path_, error);
        return error ? 0 : n;
    }
    std::string path_;
};

SoundManager& sound() { return SoundManager::instance(); }
int playingChannels() { return Mix_Playing(-1); }

} // namespace

TEST(SoundManagerTest, AmbientTrackIsMixedFromTheStartAndNotStartedTwice)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        testing::internal::CaptureStdout();
        sound().initSound(true, true);
        c.expect(sound().hasDevice(), "the disk device did not open");
        c.expect(sound().masterVolume() == 0.6f, "master volume after start-up is not 0.6");
        c.expect(sound().isPlaying(kAmbient), "ambient track not playing");
        c.expect(output.rmsOfNext(0.3) > kAudible, "the mix is silent after initSound");
        sound().playSound(0, true);
        const std::string printed = testing::internal::GetCapturedStdout();
        c.expect(printed == "playsound - ambient \n play Ambient\n play Ambient\n", "printed: [" + printed + "]");
        c.expect(playingChannels() == 1, "the ambient track was started twice");
    });
}

TEST(SoundManagerTest, EachSwitchSilencesOnlyItsOwnGroup)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        testing::internal::CaptureStdout();
        sound().initSound(false, true);
        for (int id = 0; id <= 3; ++id)
            sound().playSound(id, true);
        const std::string printed = testing::internal::GetCapturedStdout();
        c.expect(printed == "playsound - ambient \n", "lines with music off: [" + printed + "]");
        c.expect(playingChannels() == 0, "a music id played with music off");
        c.expect(output.rmsOfNext(0.2) < kSilent, "the mix is not silent with music off");
        sound().playSound(8, true);
        c.expect(sound().isPlaying(kBurning), "the flame's loop did not start");
        c.expect(output.rmsOfNext(0.3) > kAudible, "an effect is not heard with music off");
    });
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(true, false);
        for (int id = 4; id <= 13; ++id)
            sound().playSound(id, false);
        c.expect(sound().isPlaying(kAmbient) && playingChannels() == 1, "effects off, yet not the music alone plays");
    });
}

TEST(SoundManagerTest, PlayingFileIsNotRestartedButEndedFileIs)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(false, true);
        sound().playSound(4, false);
        sound().playSound(4, false);
        sound().playSound(8, true);
        sound().playSound(8, true);
        c.expect(playingChannels() == 2, "a playing file was started again");
        c.expect(waitUntil([] { return !sound().isPlaying(kSteps); }, 5.0), "footsteps never ended");
        sound().playSound(4, false);
        c.expect(sound().isPlaying(kSteps), "ended footsteps cannot be played again");
        c.expect(playingChannels() == 2, "the looping burn stopped, or the footsteps share its channel");
    });
}

TEST(SoundManagerTest, JumpDrawsEitherFileFromRand)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(false, true);
        std::srand(7);
        const bool odd = std::rand() % 2 != 0;
        std::srand(7);
        sound().playSound(5, false);
        c.expect(sound().isPlaying(odd ? kJumpHigh : kJump) && !sound().isPlaying(odd ? kJump : kJumpHigh),
                 "the jump file does not follow the drawn number");
        for (int i = 0; i < 40; ++i)
            sound().playSound(5, false);
        c.expect(sound().isPlaying(kJump) && sound().isPlaying(kJumpHigh), "40 jumps did not use both files");
        c.expect(playingChannels() == 2, "a jump file was started twice");
    });
}

TEST(SoundManagerTest, IdsOutsideTheTablePlayNothing)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(true, true);
        for (int id : {-1, 14, INT_MIN, INT_MAX}) {
            sound().playSound(id, false);
            sound().playSound(id, true);
        }
        c.expect(playingChannels() == 1, "an id outside 0-13 played something beside the ambient track");
    });
}

TEST(SoundManagerTest, MasterVolumeFollowsSetVolumeAndIsClamped)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(true, true);
        c.expect(Mix_Volume(-1, -1) == 77, "mixer volume after start-up is not 0.6 of full");
        sound().setVolume(0.3f);
        c.expect(sound().masterVolume() == 0.3f && Mix_Volume(-1, -1) == 38, "volume does not follow setVolume");
        sound().setVolume(1.03f);
        c.expect(sound().masterVolume() == 1.0f && Mix_Volume(-1, -1) == MIX_MAX_VOLUME, "1.03 is not clamped to 1");
        sound().setVolume(-0.4f);
        c.expect(sound().masterVolume() == 0.0f && Mix_Volume(-1, -1) == 0, "-0.4 is not clamped to 0");
        sound().setVolume(std::nanf(""));
        c.expect(sound().masterVolume() == 0.0f, "NaN changed the master volume");
        // At zero the playing ambient and an effect started later are both inaudible.
        sound().playSound(8, true);
        c.expect(sound().isPlaying(kBurning), "the flame's loop did not start");
        c.expect(output.rmsOfNext(0.2) < kSilent, "the mix is not silent at master volume 0");
    });
}

// Without a device every call returns at once, prints nothing but the start-up line (ALSA's
// own complaints included, the common case of a machine without a sound card) and draws no
// random number.
TEST(SoundManagerTest, WithoutAnAudioDeviceEveryCallReturnsSilently)
{
    for (const char* driver : {"tindral-no-such-driver", "alsa"}) {
        SCOPED_TRACE(driver);
        runIsolated([driver](Checks& c) {
            setenv("SDL_AUDIODRIVER", driver, 1);
            setenv("ALSA_CONFIG_PATH", "/nonexistent/tindral/alsa.conf", 1);
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            sound().initSound(true, true);
            std::srand(3);
            const int firstDraw = std::rand();
            std::srand(3);
            for (int id = -1; id <= 14; ++id) {
                sound().playSound(id, true);
                sound().playSound(id, false);
            }
            const bool drewNothing = std::rand() == firstDraw;
            sound().setVolume(0.5f);
            const std::string errors = testing::internal::GetCapturedStderr();
            const std::string printed = testing::internal::GetCapturedStdout();
            c.expect(!sound().hasDevice(), "a device opened although none can");
            c.expect(printed == "playsound - ambient \n", "printed without a device: [" + printed + "]");
            c.expect(errors.empty(), "errors without a device: [" + errors + "]");
            c.expect(drewNothing, "the jump drew a random number without a device");
            c.expect(sound().masterVolume() == 0.0f, "a master volume was set without a device");
        });
    }
}

namespace {

// The files are mono: the left channel of the decoded chunk tells all.
bool decode(const std::string& file, std::vector<float>& samples)
{
    Mix_Chunk* chunk = Mix_LoadWAV(("Tindral/Audio/" + file).c_str());
    if (!chunk)
        return false;
    const auto* data = reinterpret_cast<const std::int16_t*>(chunk->abuf);
    samples.resize(chunk->alen / 4);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = data[2 * i] / 32768.0f;
    Mix_FreeChunk(chunk);
    return true;
}

// A loop joins seamlessly when no encoder padding leaves a quiet gap at either end and the
// step from its last sample to its first is no rougher than its surroundings.
void checkLoopJoin(Checks& c, const std::string& file, const std::vector<float>& x)
{
    const std::size_t window = 220, edge = 2205, n = x.size(); // 5 ms, 50 ms
    double quietestInside = 1.0;
    for (std::size_t i = edge; i + window < n - edge; i += window)
        quietestInside = std::min(quietestInside, rms(x, i, window));
    for (std::size_t i = 0; i < edge; i += window)
        c.expect(rms(x, i, window) > 0.5 * quietestInside && rms(x, n - window - i, window) > 0.5 * quietestInside,
                 file + ": quiet gap at the loop's ends");
    const long count = static_cast<long>(n);
    const auto at = [&](long k) { return x[static_cast<std::size_t>((k % count + count) % count)]; };
    const auto roughness = [&](long i) { return std::fabs(at(i) - (2.0f * at(i - 1) - at(i - 2))); };
    float roughestNearby = 0.0f;
    for (long i = 3 - static_cast<long>(edge); i < static_cast<long>(edge); ++i)
        roughestNearby = std::max(roughestNearby, roughness(i));
    c.expect(std::max(roughness(0), roughness(1)) <= roughestNearby, file + ": the loop jumps at its join");
}

} // namespace

TEST(SoundManagerTest, GeneratedSoundFilesDecodeAndLoopsJoinSeamlessly)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(false, false);
        std::uintmax_t totalBytes = 0;
        std::vector<std::string> files = {kJumpHigh};
        for (int id = 0; id <= 13; ++id)
            files.push_back(id == 5 ? kJump : SoundManager::soundFile(id));
        for (const std::string& file : files) {
            std::error_code error;
            totalBytes += std::filesystem::file_size("Tindral/Audio/" + file, error);
            std::vector<float> x;
            if (!decode(file, x)) {
                c.expect(false, file + ": does not decode");
                continue;
            }
            const bool music = file.rfind("Ambient/", 0) == 0;
            const double seconds = static_cast<double>(x.size()) / 44100.0;
            c.expect(music ? seconds >= 30.0 && seconds <= 60.0 : seconds < 7.0, file + ": unexpected length");
            c.expect(rms(x, 0, x.size()) > 0.02, file + ": nearly silent");
            float peak = 0.0f;
            for (float v : x)
                peak = std::max(peak, std::fabs(v));
            c.expect(peak < 0.98f, file + ": clips");
            if (music || file == kBurning || file == "Enemy/burning2.mp3")
                checkLoopJoin(c, file, x);
        }
        c.expect(totalBytes < 5u * 1024 * 1024, "the sound folder is larger than 5 MB");
    });
}

// A data folder of its own: footsteps present, the burning hero missing, the falling sound
// corrupt. A file is decoded on its first request only, so a footstep asked for every
// frame does not read the disk every frame.
TEST(SoundManagerTest, FilesAreDecodedOnceAndBadFilesStartNothing)
{
    runIsolated([](Checks& c) {
        namespace fs = std::filesystem;
        const fs::path folder = fs::path(::testing::TempDir()) / ("tindral_audio_" + std::to_string(::getpid()));
        const fs::path hero = folder / "Tindral/Audio/Hero";
        fs::create_directories(hero);
        fs::copy_file("Tindral/Audio/" + kSteps, hero / "going.mp3");
        std::ofstream(hero / "dying_falling.mp3") << "not an mp3 at all";
        fs::current_path(folder);

        DiskOutput output;
        testing::internal::CaptureStdout();
        sound().initSound(false, true);
        sound().playSound(4, false);
        c.expect(waitUntil([] { return !sound().isPlaying(kSteps); }, 5.0), "footsteps never ended");
        fs::remove(hero / "going.mp3");
        sound().playSound(4, false);
        c.expect(sound().isPlaying(kSteps), "footsteps were not kept decoded after their file went away");
        sound().playSound(6, false);
        sound().playSound(7, false);
        c.expect(playingChannels() == 1, "a missing or corrupt file took a channel");
        const std::string printed = testing::internal::GetCapturedStdout();
        c.expect(printed == "playsound - ambient \n", "bad files printed: [" + printed + "]");
        fs::remove_all(folder);
    });
}
