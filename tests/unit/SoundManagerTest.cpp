#include "assets/SoundManager.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
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
        const std::string text = failures_.str();
        std::cerr << text << std::flush;
        std::_Exit(text.empty() ? 0 : 1);
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

// SDL's disk driver writes the final mix (16-bit stereo at 44.1 kHz) to a file in real time.
class DiskOutput {
public:
    DiskOutput()
        : path_(::testing::TempDir() + "tindral_sound_" + std::to_string(::getpid()) + ".raw")
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    ~DiskOutput() { std::remove(path_.c_str()); }

    // RMS (0..1) of the mix over the next `seconds`, after skipping what may have been mixed
    // before the call.
    double rmsOfNext(double seconds)
    {
        const std::uintmax_t skip = bytes(0.1);
        const std::uintmax_t from = size() + skip;
        const std::uintmax_t to = from + bytes(seconds);
        if (!waitUntil([&] { return size() >= to; }, 10.0))
            return -1.0;
        std::ifstream in(path_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(from));
        std::vector<std::int16_t> samples((to - from) / 2);
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
        double sum = 0.0;
        for (std::int16_t s : samples)
            sum += (s / 32768.0) * (s / 32768.0);
        return std::sqrt(sum / samples.size());
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

constexpr double kSilent = 1e-4;
constexpr double kAudible = 0.01;

// Collects what is written to a file descriptor (stdout, stderr) while it lives.
class Capture {
public:
    explicit Capture(int fd) : fd_(fd), file_(std::tmpfile()), saved_(::dup(fd))
    {
        flushAll();
        ::dup2(::fileno(file_), fd_);
    }
    ~Capture()
    {
        release();
        std::fclose(file_);
    }
    std::string text()
    {
        flushAll();
        std::string out;
        std::rewind(file_);
        for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_))
            out += static_cast<char>(c);
        return out;
    }
    void release()
    {
        if (saved_ < 0)
            return;
        flushAll();
        ::dup2(saved_, fd_);
        ::close(saved_);
        saved_ = -1;
    }
private:
    static void flushAll()
    {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
    }
    int fd_;
    std::FILE* file_;
    int saved_;
};

SoundManager& sound()
{
    return SoundManager::instance();
}

int playingChannels()
{
    return Mix_Playing(-1);
}

} // namespace

TEST(SoundManagerTest, AmbientTrackLoopsFromTheStartAndIsNotStartedTwice)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        Capture out(STDOUT_FILENO);
        sound().initSound(true, true);
        c.expect(out.text() == "playsound - ambient \n play Ambient\n", "start-up lines: [" + out.text() + "]");
        c.expect(sound().hasDevice(), "the disk device did not open");
        c.expect(std::fabs(sound().masterVolume() - 0.6f) < 1e-6f, "master volume after start-up is not 0.6");
        c.expect(sound().isPlaying(kAmbient), "ambient track not playing");
        c.expect(output.rmsOfNext(0.3) > kAudible, "the mix is silent after initSound");

        sound().playSound(0, true);
        c.expect(out.text() == "playsound - ambient \n play Ambient\n play Ambient\n",
                 "a second ambient request must announce itself again: [" + out.text() + "]");
        c.expect(playingChannels() == 1, "the ambient track was started twice");
    });
}

TEST(SoundManagerTest, MusicSwitchOffSilencesMusicButNotEffects)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        Capture out(STDOUT_FILENO);
        sound().initSound(false, true);
        for (int id = 0; id <= 3; ++id)
            sound().playSound(id, true);
        c.expect(out.text() == "playsound - ambient \n", "lines with music off: [" + out.text() + "]");
        c.expect(playingChannels() == 0, "a music id played with music off");
        c.expect(output.rmsOfNext(0.2) < kSilent, "the mix is not silent with music off");

        sound().playSound(8, true);
        c.expect(sound().isPlaying(kBurning), "the flame's loop did not start");
        c.expect(output.rmsOfNext(0.3) > kAudible, "an effect is not heard with music off");
    });
}

TEST(SoundManagerTest, EffectsSwitchOffSilencesEffectsButNotMusic)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(true, false);
        for (int id = 4; id <= 13; ++id)
            sound().playSound(id, false);
        c.expect(sound().isPlaying(kAmbient), "music does not play with effects off");
        c.expect(playingChannels() == 1, "an effect played with effects off");
    });
}

TEST(SoundManagerTest, PlayingFileIsNotRestartedButEndedFileIs)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(false, true);
        sound().playSound(4, false);
        sound().playSound(4, false);
        c.expect(playingChannels() == 1, "footsteps started twice while playing");
        sound().playSound(8, true);
        sound().playSound(8, true);
        c.expect(playingChannels() == 2, "the looping burn started twice");

        c.expect(waitUntil([] { return !sound().isPlaying(kSteps); }, 5.0), "footsteps never ended");
        c.expect(playingChannels() == 1, "the looping burn stopped with the footsteps");
        sound().playSound(4, false);
        c.expect(sound().isPlaying(kSteps), "ended footsteps cannot be played again");
        c.expect(playingChannels() == 2, "restarted footsteps not on a channel of their own");
    });
}

TEST(SoundManagerTest, JumpDrawsItsFileFromRand)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(false, true);
        std::srand(7);
        const bool odd = std::rand() % 2 != 0;
        std::srand(7);
        sound().playSound(5, false);
        c.expect(sound().isPlaying(odd ? kJumpHigh : kJump), "the drawn jump file does not play");
        c.expect(!sound().isPlaying(odd ? kJump : kJumpHigh), "the other jump file plays too");

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
        Capture out(STDOUT_FILENO);
        sound().initSound(false, true);
        for (int id : {-1, 14, 100, INT_MIN, INT_MAX}) {
            sound().playSound(id, false);
            sound().playSound(id, true);
            c.expect(SoundManager::soundFile(id).empty(), "id " + std::to_string(id) + " names a file");
        }
        c.expect(playingChannels() == 0, "an id outside 0-13 played something");
        c.expect(out.text() == "playsound - ambient \n", "unknown ids printed: [" + out.text() + "]");
        c.expect(output.rmsOfNext(0.2) < kSilent, "the mix is not silent");
    });
}

TEST(SoundManagerTest, MasterVolumeScalesEverythingAndIsClamped)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(true, true);
        c.expect(Mix_Volume(-1, -1) == 77, "mixer volume after start-up is not 0.6 of full");

        sound().setVolume(0.3f);
        c.expect(std::fabs(sound().masterVolume() - 0.3f) < 1e-6f, "master volume does not follow setVolume");
        c.expect(Mix_Volume(-1, -1) == 38, "mixer volume does not follow setVolume");
        sound().setVolume(1.03f);
        c.expect(sound().masterVolume() == 1.0f && Mix_Volume(-1, -1) == MIX_MAX_VOLUME, "1.03 is not clamped to 1");
        sound().setVolume(-0.4f);
        c.expect(sound().masterVolume() == 0.0f && Mix_Volume(-1, -1) == 0, "-0.4 is not clamped to 0");
        sound().setVolume(std::nanf(""));
        c.expect(sound().masterVolume() == 0.0f, "NaN changed the master volume");

        // At zero the playing ambient and a newly started effect must both be inaudible.
        sound().playSound(8, true);
        c.expect(sound().isPlaying(kBurning), "the flame's loop did not start");
        c.expect(output.rmsOfNext(0.2) < kSilent, "the mix is not silent at master volume 0");
        // One-second windows hold one heartbeat each, so the music's own swell hardly counts.
        sound().setVolume(0.5f);
        const double half = output.rmsOfNext(1.0);
        sound().setVolume(1.0f);
        const double full = output.rmsOfNext(1.0);
        c.expect(half > kAudible, "the mix is silent at master volume 0.5");
        c.expect(full > half * 1.4 && full < half * 2.8,
                 "doubling the master volume does not double the mix: " + std::to_string(half) + " -> " +
                     std::to_string(full));
    });
}

namespace {

// Every call must return at once, print nothing but the start-up line and draw no number.
void expectSilentWithoutDevice(Checks& c)
{
    Capture out(STDOUT_FILENO);
    Capture err(STDERR_FILENO);
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
    const std::string printed = out.text();
    const std::string errors = err.text();
    err.release();
    c.expect(!sound().hasDevice(), "a device opened although none can");
    c.expect(printed == "playsound - ambient \n", "printed without a device: [" + printed + "]");
    c.expect(errors.empty(), "errors without a device: [" + errors + "]");
    c.expect(drewNothing, "the jump drew a random number without a device");
    c.expect(sound().masterVolume() == 0.0f, "a master volume was set without a device");
    c.expect(!sound().isPlaying(kAmbient), "something plays without a device");
}

} // namespace

TEST(SoundManagerTest, WithoutAudioDeviceEveryCallReturnsSilently)
{
    runIsolated([](Checks& c) {
        setenv("SDL_AUDIODRIVER", "tindral-no-such-driver", 1);
        expectSilentWithoutDevice(c);
    });
}

// The common case of a machine without a sound card: ALSA is probed and fails, and its
// library would print its own complaints.
TEST(SoundManagerTest, FailingAlsaProbePrintsNothing)
{
    runIsolated([](Checks& c) {
        setenv("SDL_AUDIODRIVER", "alsa", 1);
        setenv("ALSA_CONFIG_PATH", "/nonexistent/tindral/alsa.conf", 1);
        expectSilentWithoutDevice(c);
    });
}

namespace {

struct Decoded {
    std::vector<float> left;  // the files are mono: one channel tells all
    double seconds() const { return static_cast<double>(left.size()) / 44100.0; }
};

// Decodes a file the way the game does (SDL_mixer into the device format).
bool decode(const std::string& file, Decoded& out)
{
    Mix_Chunk* chunk = Mix_LoadWAV(("Tindral/Audio/" + file).c_str());
    if (!chunk)
        return false;
    const auto* samples = reinterpret_cast<const std::int16_t*>(chunk->abuf);
    out.left.resize(chunk->alen / 4);
    for (std::size_t i = 0; i < out.left.size(); ++i)
        out.left[i] = samples[2 * i] / 32768.0f;
    Mix_FreeChunk(chunk);
    return true;
}

double rms(const std::vector<float>& x, std::size_t from, std::size_t count)
{
    double sum = 0.0;
    for (std::size_t i = from; i < from + count; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / count);
}

float peak(const std::vector<float>& x)
{
    float p = 0.0f;
    for (float v : x)
        p = std::max(p, std::fabs(v));
    return p;
}

// How far a sample lies from the straight continuation of the two before it, with the
// loop's end leading into its start.
float predictionError(const std::vector<float>& x, long i)
{
    const long n = static_cast<long>(x.size());
    auto at = [&](long k) { return x[static_cast<std::size_t>((k % n + n) % n)]; };
    return std::fabs(at(i) - (2.0f * at(i - 1) - at(i - 2)));
}

// A loop joins seamlessly when no encoder padding leaves a quiet gap at either end and the
// step from its last sample to its first is no rougher than its surroundings.
void checkLoopJoin(Checks& c, const std::string& file, const Decoded& d)
{
    const std::size_t window = 220;  // 5 ms
    const std::size_t edge = 2205;   // 50 ms
    const std::size_t n = d.left.size();
    double quietestInside = 1.0;
    for (std::size_t i = edge; i + window < n - edge; i += window)
        quietestInside = std::min(quietestInside, rms(d.left, i, window));
    for (std::size_t i = 0; i < edge; i += window) {
        c.expect(rms(d.left, i, window) > 0.5 * quietestInside, file + ": quiet gap at the loop's start");
        c.expect(rms(d.left, n - window - i, window) > 0.5 * quietestInside, file + ": quiet gap at the loop's end");
    }
    float roughestNearby = 0.0f;
    for (long i = 3; i < static_cast<long>(2 * edge); ++i)
        roughestNearby = std::max(roughestNearby, predictionError(d.left, i - static_cast<long>(edge)));
    const float atJoin = std::max(predictionError(d.left, 0), predictionError(d.left, 1));
    c.expect(atJoin <= roughestNearby, file + ": the loop jumps at its join");
}

} // namespace

TEST(SoundManagerTest, GeneratedSoundFilesDecodeAndLoopsJoinSeamlessly)
{
    runIsolated([](Checks& c) {
        DiskOutput output;
        sound().initSound(false, false);
        std::uintmax_t totalBytes = 0;
        std::vector<std::string> files;
        for (int id = 0; id <= 13; ++id)
            files.push_back(id == 5 ? kJump : SoundManager::soundFile(id));
        files.push_back(kJumpHigh);
        for (const std::string& file : files) {
            std::error_code error;
            totalBytes += std::filesystem::file_size("Tindral/Audio/" + file, error);
            Decoded d;
            if (!decode(file, d)) {
                c.expect(false, file + ": does not decode");
                continue;
            }
            const bool music = file.rfind("Ambient/", 0) == 0;
            const bool loop = music || file == kBurning || file == "Enemy/burning2.mp3";
            c.expect(music ? d.seconds() >= 30.0 && d.seconds() <= 60.0 : d.seconds() < 7.0,
                     file + ": unexpected length " + std::to_string(d.seconds()));
            c.expect(rms(d.left, 0, d.left.size()) > 0.02, file + ": nearly silent");
            c.expect(peak(d.left) < 0.98f, file + ": clips");
            if (loop)
                checkLoopJoin(c, file, d);
        }
        c.expect(totalBytes < 5u * 1024 * 1024, "the sound folder is larger than 5 MB");
    });
}

// In a data folder of its own: footsteps present, the burning hero missing, the falling
// sound corrupt.
TEST(SoundManagerTest, FilesAreDecodedOnceAndBadFilesStartNothing)
{
    runIsolated([](Checks& c) {
        namespace fs = std::filesystem;
        const fs::path folder = fs::path(::testing::TempDir()) / ("tindral_audio_" + std::to_string(::getpid()));
        const fs::path hero = folder / "Tindral/Audio/Hero";
        fs::create_directories(hero);
        fs::copy_file("Tindral/Audio/" + kSteps, hero / "going.mp3");
        std::ofstream(hero / "dying_falling.mp3") << "not an mp3 at all";
        const fs::path previous = fs::current_path();
        fs::current_path(folder);

        DiskOutput output;
        Capture out(STDOUT_FILENO);
        sound().initSound(false, true);
        sound().playSound(4, false);
        c.expect(sound().isPlaying(kSteps), "footsteps did not start");
        c.expect(waitUntil([] { return !sound().isPlaying(kSteps); }, 5.0), "footsteps never ended");
        fs::remove(hero / "going.mp3");
        sound().playSound(4, false);
        c.expect(sound().isPlaying(kSteps), "footsteps were not kept decoded after their file went away");

        sound().playSound(6, false);
        sound().playSound(7, false);
        c.expect(!sound().isPlaying("Hero/dying_flame.mp3"), "a missing file plays");
        c.expect(!sound().isPlaying("Hero/dying_falling.mp3"), "a corrupt file plays");
        c.expect(playingChannels() == 1, "a bad file took a channel");
        c.expect(out.text() == "playsound - ambient \n", "bad files printed: [" + out.text() + "]");

        fs::current_path(previous);
        fs::remove_all(folder);
    });
}
