#pragma once
// Small synthesis toolkit for the game's sounds: deterministic noise, wavetable voices,
// filters, envelopes and a reverb, all rendering into mono float buffers at one rate.
#include <cstdint>
#include <glm/gtc/constants.hpp>
#include <vector>

namespace soundgen {

constexpr int kRate = 44100;

using Buffer = std::vector<float>;

long samplesFor(double seconds);

// Slow modulators (filter sweeps, swells) are recomputed only every this many samples:
// far below audibility, and it keeps the build fast.
constexpr long kControlStep = 16;
inline bool controlTick(long index)
{
    return index % kControlStep == 0;
}

// xorshift64*: our own generator so every build writes the same files on every libc.
class Rng {
public:
    explicit Rng(std::uint64_t seed);
    std::uint32_t next();
    float uniform(); // [0, 1)
    float bipolar(); // [-1, 1)
    bool chance(float probability);

private:
    std::uint64_t state_;
};

// A sound under construction. A looped track wraps writes past its end back to its start,
// so notes and tails that cross the join continue seamlessly after it.
class Track {
public:
    Track(double seconds, bool looped);
    long size() const { return static_cast<long>(samples_.size()); }
    bool looped() const { return looped_; }
    double seconds() const { return static_cast<double>(size()) / kRate; }
    void add(long index, float value);
    // Adds `sound` starting at `start` seconds, scaled by `gain`.
    void mix(const Buffer& sound, double start, float gain);
    Buffer& samples() { return samples_; }
    const Buffer& samples() const { return samples_; }

private:
    Buffer samples_;
    bool looped_;
};

// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double noteHz(double midiNote);
// The nearest frequency that completes a whole number of cycles in `seconds`:
// continuous layers tuned this way repeat exactly at a loop's join.
double periodicHz(double hz, double seconds);

// One cycle of a soft sawtooth: harmonics fall off faster than 1/n, above `brightness`.
class Wavetable {
public:
    Wavetable(int harmonics, double brightness);
    // `phase` in cycles; only its fractional part matters.
    float at(double phase) const;

private:
    static constexpr std::size_t kSize = 4096; // a power of two: wrapping is a mask
    std::vector<float> table_;
};

// Zavalishin's state-variable filter: stays stable when its cutoff moves every sample.
class Svf {
public:
    void set(double cutoffHz, double q);
    float lowpass(float in);
    float bandpass(float in);
    float highpass(float in);

private:
    void tick(float in);
    double g_ = 0.1, k_ = 1.4;
    double ic1_ = 0, ic2_ = 0;
    float low_ = 0, band_ = 0, high_ = 0;
};

class OnePole {
public:
    explicit OnePole(double cutoffHz);
    float lowpass(float in);
    float highpass(float in);

private:
    double a_;
    double state_ = 0;
};

// Freeverb-style room: eight damped combs into four allpasses.
class Reverb {
public:
    Reverb(double roomSize, double damping);
    float process(float in);

private:
    struct Comb {
        std::vector<float> line;
        std::size_t pos = 0;
        float filtered = 0;
    };
    struct Allpass {
        std::vector<float> line;
        std::size_t pos = 0;
    };
    std::vector<Comb> combs_;
    std::vector<Allpass> allpasses_;
    float feedback_, damping_;
};

// Runs a processor (sample, index) -> sample over a track in place. A looped track is run
// twice and the second pass kept, so filter and reverb state at the join is the state the
// loop itself leaves behind rather than silence.
template <typename Process>
void processTrack(Track& track, Process process)
{
    Buffer& s = track.samples();
    const long n = track.size();
    if (track.looped()) {
        for (long i = 0; i < n; ++i)
            process(s[i], i);
    }
    for (long i = 0; i < n; ++i)
        s[i] = process(s[i], i);
}

// Position in cycles of a layer that repeats `cycles` times over a track of n samples.
inline double cyclePhase(long index, long n, double cycles)
{
    return cycles * static_cast<double>(index) / static_cast<double>(n);
}
// A slow periodic modulator between 0 and 1 that repeats `cycles` times over the track.
float sweep(long index, long n, double cycles, double offset);

// Envelope shapes, all 0 outside their span.
float attackDecay(double t, double attack, double decay); // linear rise, exponential fall
float smoothWindow(double t, double length, double fade); // raised-cosine fade in and out

// A low sine (with a little second harmonic) falling from startHz to endHz: a heartbeat's
// "lub", a tom, a thud.
Buffer thump(double startHz, double endHz, double decay);
// Band-passed noise with a linear attack and an exponential decay: clicks, crackles, grit.
Buffer noiseBurst(Rng& rng, double attack, double decay, double centerHz, double q);

// Scales a track to `rms` without letting its peak exceed `peak` (both linear).
void normalise(Track& track, float rms, float peak);

struct Level {
    float peak;
    float rms;
};
Level measure(const Buffer& samples);

} // namespace soundgen
