#include "Effects.h"

#include <cmath>

namespace soundgen {
namespace {

double timeOf(long index)
{
    return static_cast<double>(index) / kRate;
}

// Exponential glide from `from` to `to` over `seconds`, then holding `to`.
double glide(double t, double from, double to, double seconds)
{
    const double x = std::min(t / seconds, 1.0);
    return from * std::pow(to / from, x);
}

// Noise that changes level every `step` seconds: the stick-slip of stone, the flicker of fire.
class Jitter {
public:
    Jitter(Rng& rng, double step, float depth) : rng_(rng), step_(samplesFor(step)), depth_(depth) {}
    float next()
    {
        if (count_++ % step_ == 0)
            target_ = 1.0f - depth_ * rng_.uniform();
        value_ += (target_ - value_) * 0.02f;
        return value_;
    }

private:
    Rng& rng_;
    long step_;
    float depth_;
    long count_ = 0;
    float target_ = 1.0f, value_ = 1.0f;
};

// Bursts of band-passed noise at random times: crackles of fire, grains of gravel or debris.
// `when` maps a uniform draw to a time, so density can thin out over a sound's life.
template <typename When>
void addGrains(Track& track, Rng& rng, int count, When when, double lowHz, double highHz, double decay, float gain)
{
    for (int i = 0; i < count; ++i) {
        const double t = when(rng.uniform());
        const double hz = lowHz * std::pow(highHz / lowHz, rng.uniform());
        const float strength = rng.uniform();
        const Buffer grain = noiseBurst(rng, 0.0005, decay * (0.5 + rng.uniform()), hz, 1.5);
        track.mix(grain, t, gain * strength * strength);
    }
}

// Noise swept through a band-pass: the air of a jump or a fall.
void addWhoosh(Track& track, Rng& rng, double fromHz, double toHz, double sweepSeconds, double q, double attack,
               double decay, float gain)
{
    Svf filter;
    for (long i = 0; i < track.size(); ++i) {
        const double t = timeOf(i);
        if (controlTick(i))
            filter.set(glide(t, fromHz, toHz, sweepSeconds), q);
        track.samples()[i] += filter.bandpass(rng.bipolar()) * attackDecay(t, attack, decay) * gain;
    }
}

// A breathy, vowel-like grunt rising in pitch: the hero's effort.
void addEffort(Track& track, double fromHz, double toHz, double formantHz, float gain)
{
    static const Wavetable wave(24, 6.0);
    Svf formant;
    formant.set(formantHz, 2.5);
    double phase = 0.0;
    for (long i = 0; i < track.size(); ++i) {
        const double t = timeOf(i);
        phase += glide(t, fromHz, toHz, 0.12) / kRate;
        track.samples()[i] += formant.bandpass(wave.at(phase)) * attackDecay(t, 0.015, 0.05) * gain;
    }
}

void fadeOut(Track& track, double seconds)
{
    const long n = track.size();
    const long fade = samplesFor(seconds);
    for (long i = 0; i < fade && i < n; ++i)
        track.samples()[n - 1 - i] *= static_cast<float>(i) / fade;
}

// A fire: a low roar and a brighter body of noise with flickering loudness, and crackles.
// The flicker speeds are whole numbers of cycles per loop, so a looped fire has no seam.
Track makeFire(double seconds, std::uint64_t seed, double roarHz, int crackles, float crackleGain)
{
    Rng rng(seed);
    Track fire(seconds, true);
    const long n = fire.size();
    for (float& v : fire.samples())
        v = rng.bipolar();
    Svf roar, body;
    roar.set(roarHz, 0.7);
    body.set(roarHz * 2.6, 0.8);
    float flicker = 1.0f;
    processTrack(fire, [&](float v, long i) {
        if (controlTick(i))
            flicker = 0.55f + 0.2f * sweep(i, n, 3, 0.0) + 0.15f * sweep(i, n, 7, 0.3) + 0.1f * sweep(i, n, 13, 0.7);
        return roar.lowpass(v) * flicker + body.bandpass(v) * 0.25f * (1.2f - flicker);
    });
    addGrains(
        fire, rng, crackles, [&](float u) { return u * seconds; }, 1500.0, 5000.0, 0.002, crackleGain);
    addGrains(
        fire, rng, crackles / 8, [&](float u) { return u * seconds; }, 300.0, 900.0, 0.006, crackleGain);
    return fire;
}

// Stone grinding against stone: noise in two resonant bands, stuttering as it sticks and slips.
Track makeGrind(double seconds, std::uint64_t seed, double lowHz, double scrapeHz, double jitterStep)
{
    Rng rng(seed);
    Track grind(seconds, false);
    Svf low, scrape;
    low.set(lowHz, 3.0);
    scrape.set(scrapeHz, 2.0);
    Jitter stick(rng, jitterStep, 0.8f);
    for (long i = 0; i < grind.size(); ++i) {
        const float noise = rng.bipolar();
        const float body = low.bandpass(noise) * 1.5f + scrape.bandpass(noise) * 0.5f;
        grind.samples()[i] = body * stick.next() * smoothWindow(timeOf(i), seconds - 0.1, 0.12);
    }
    return grind;
}

} // namespace

Track makeFootstep()
{
    Rng rng(11);
    Track step(0.42, false);
    step.mix(thump(95.0, 60.0, 0.035), 0.01, 0.6f);
    addGrains(
        step, rng, 28, [](float u) { return 0.008 + 0.09 * u * u; }, 1500.0, 3500.0, 0.004, 0.7f);
    OnePole soften(4000.0);
    processTrack(step, [&](float v, long) { return soften.lowpass(v); });
    normalise(step, 0.04f, 0.45f);
    return step;
}

Track makeJump()
{
    Rng rng(21);
    Track jump(0.5, false);
    jump.mix(noiseBurst(rng, 0.002, 0.025, 900.0, 0.7), 0.0, 0.6f);
    addWhoosh(jump, rng, 350.0, 1600.0, 0.35, 1.5, 0.08, 0.12, 1.0f);
    addEffort(jump, 190.0, 300.0, 700.0, 0.35f);
    fadeOut(jump, 0.05);
    normalise(jump, 0.08f, 0.6f);
    return jump;
}

// The second jump: a deeper effort, a flap of clothing and a slower rush of air.
Track makeJumpHigh()
{
    Rng rng(22);
    Track jump(0.55, false);
    jump.mix(noiseBurst(rng, 0.002, 0.03, 700.0, 0.7), 0.0, 0.6f);
    Svf cloth;
    cloth.set(1800.0, 0.6);
    for (long i = 0; i < jump.size(); ++i) {
        const double t = timeOf(i);
        const double flap = std::fabs(std::sin(glm::two_pi<double>() * 22.0 * t));
        jump.samples()[i] +=
            cloth.lowpass(rng.bipolar()) * static_cast<float>(flap) * attackDecay(t, 0.01, 0.05) * 0.5f;
    }
    addWhoosh(jump, rng, 250.0, 1100.0, 0.4, 2.0, 0.1, 0.14, 1.0f);
    addEffort(jump, 150.0, 240.0, 600.0, 0.35f);
    fadeOut(jump, 0.05);
    normalise(jump, 0.08f, 0.6f);
    return jump;
}

// The hero too close to the flame: a hiss swelling over a low roar, full of crackles.
Track makeBurningHero()
{
    Rng rng(31);
    Track burn(1.3, false);
    Svf hiss, roar;
    hiss.set(3500.0, 0.7);
    roar.set(300.0, 0.7);
    Jitter flicker(rng, 0.03, 0.6f);
    for (long i = 0; i < burn.size(); ++i) {
        const float envelope = smoothWindow(timeOf(i), burn.seconds(), 0.3);
        const float noise = rng.bipolar();
        burn.samples()[i] = (hiss.highpass(noise) * 0.35f * flicker.next() + roar.lowpass(noise) * 0.8f) * envelope;
    }
    addGrains(
        burn, rng, 45, [](float u) { return 0.1 + 1.05 * u; }, 2000.0, 5500.0, 0.0015, 0.9f);
    OnePole soften(8000.0);
    processTrack(burn, [&](float v, long) { return soften.lowpass(v); });
    normalise(burn, 0.1f, 0.7f);
    return burn;
}

// Falling into the void: wind rushing past, dropping in pitch, and a faint falling whistle.
Track makeFalling()
{
    Rng rng(41);
    Track fall(1.8, false);
    addWhoosh(fall, rng, 1400.0, 220.0, 1.5, 2.5, 0.12, 0.8, 1.0f);
    double phase = 0.0;
    for (long i = 0; i < fall.size(); ++i) {
        const double t = timeOf(i);
        phase += glide(t, 700.0, 160.0, 1.6) * (1.0 + 0.004 * std::sin(glm::two_pi<double>() * 5.0 * t)) / kRate;
        fall.samples()[i] +=
            static_cast<float>(std::sin(glm::two_pi<double>() * phase)) * attackDecay(t, 0.2, 0.6) * 0.012f;
    }
    fadeOut(fall, 0.3);
    normalise(fall, 0.09f, 0.6f);
    return fall;
}

Track makeFlameLoop()
{
    Track fire = makeFire(4.0, 51, 350.0, 40, 0.5f);
    normalise(fire, 0.08f, 0.6f);
    return fire;
}

Track makeBlazeLoop()
{
    Track fire = makeFire(6.0, 52, 250.0, 100, 0.7f);
    normalise(fire, 0.11f, 0.7f);
    return fire;
}

// A fire catching at once: a muffled "whoomp" that opens up and burns down with crackles.
Track makeFlare()
{
    Rng rng(53);
    Track flare(1.6, false);
    Svf open;
    for (long i = 0; i < flare.size(); ++i) {
        const double t = timeOf(i);
        if (controlTick(i))
            open.set(t < 0.25 ? glide(t, 150.0, 2500.0, 0.25) : glide(t - 0.25, 2500.0, 400.0, 1.0), 0.8);
        flare.samples()[i] = open.lowpass(rng.bipolar()) * attackDecay(t, 0.05, 0.45);
    }
    flare.mix(thump(90.0, 45.0, 0.2), 0.0, 0.5f);
    addGrains(
        flare, rng, 30, [](float u) { return 0.1 + 1.2 * u * u; }, 1500.0, 5000.0, 0.002, 0.5f);
    fadeOut(flare, 0.2);
    normalise(flare, 0.1f, 0.7f);
    return flare;
}

Track makeCubeRotating()
{
    Track rotate = makeGrind(0.9, 61, 180.0, 700.0, 0.025);
    static const Wavetable creak(10, 2.0);
    for (long i = 0; i < rotate.size(); ++i) {
        const double t = timeOf(i);
        const double hz = 70.0 * (1.0 + 0.03 * std::sin(glm::two_pi<double>() * 3.0 * t));
        rotate.samples()[i] += creak.at(hz * t) * smoothWindow(t, 0.8, 0.2) * 0.08f;
    }
    rotate.mix(thump(140.0, 70.0, 0.05), 0.8, 0.5f);
    normalise(rotate, 0.08f, 0.6f);
    return rotate;
}

Track makeCubeMoving()
{
    Track move = makeGrind(1.1, 62, 160.0, 450.0, 0.05);
    move.mix(thump(100.0, 55.0, 0.09), 0.98, 0.8f);
    normalise(move, 0.09f, 0.65f);
    return move;
}

// A cube breaking away: a sharp crack, then debris crumbling down, thinning out.
Track makeCubeBreak()
{
    Rng rng(63);
    Track shatter(1.2, false);
    Svf crackFilter;
    crackFilter.set(1500.0, 0.7);
    for (long i = 0; i < samplesFor(0.1); ++i)
        shatter.samples()[i] += crackFilter.highpass(rng.bipolar()) * attackDecay(timeOf(i), 0.001, 0.015);
    shatter.mix(thump(180.0, 80.0, 0.06), 0.0, 0.7f);
    Svf rumble;
    rumble.set(120.0, 0.7);
    for (long i = 0; i < shatter.size(); ++i)
        shatter.samples()[i] += rumble.lowpass(rng.bipolar()) * attackDecay(timeOf(i), 0.01, 0.25) * 1.5f;
    addGrains(
        shatter, rng, 70, [](float u) { return 0.04 + 0.95 * u * u; }, 800.0, 4000.0, 0.006, 0.6f);
    fadeOut(shatter, 0.1);
    normalise(shatter, 0.1f, 0.75f);
    return shatter;
}

} // namespace soundgen
