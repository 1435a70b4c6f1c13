#include "Music.h"

#include <cmath>

namespace soundgen {
namespace {

constexpr float kMusicRms = 0.1f; // about -20 dBFS: room for the effects on top
constexpr float kMusicPeak = 0.6f;

double beatSeconds(const MusicStyle& s)
{
    return 60.0 / s.bpm;
}

int beatCount(const MusicStyle& s)
{
    return static_cast<int>(std::lround(s.seconds / beatSeconds(s)));
}

const std::vector<int>& chordAt(const MusicStyle& s, double t)
{
    const double section = s.seconds / s.chords.size();
    const long index = static_cast<long>(std::floor(t / section)) % static_cast<long>(s.chords.size());
    return s.chords[static_cast<std::size_t>(index)];
}

// Calls `hit(time, strength)` for every 'X' (1.0) and 'x' (0.55) of a one-bar pattern,
// repeated over the whole loop.
template <typename Hit>
void forEachStep(const MusicStyle& s, const std::string& pattern, Hit hit)
{
    if (pattern.empty())
        return;
    const double step = beatSeconds(s) * 4.0 / pattern.size();
    const int bars = beatCount(s) / 4;
    for (int bar = 0; bar < bars; ++bar) {
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const double t = bar * beatSeconds(s) * 4.0 + i * step;
            if (pattern[i] == 'X')
                hit(t, 1.0f);
            else if (pattern[i] == 'x')
                hit(t, 0.55f);
        }
    }
}

// Brings a finished layer to its share of the mix and adds it (and a part to the reverb).
void addLayer(Track& mix, Track& layer, float level, Track* send = nullptr, float sendShare = 0.0f)
{
    normalise(layer, level, 1000.0f);
    mix.mix(layer.samples(), 0.0, 1.0f);
    if (send)
        send->mix(layer.samples(), 0.0, sendShare);
}

void addDrone(Track& mix, const MusicStyle& s)
{
    Track layer(s.seconds, true);
    const Wavetable wave(12, 2.5);
    const double base = noteHz(s.root - 24);
    const double hz[] = {periodicHz(base, s.seconds), periodicHz(base * 1.0035, s.seconds),
                         periodicHz(base * 1.5, s.seconds)};
    const float gain[] = {1.0f, 0.8f, 0.45f};
    const long n = layer.size();
    for (long i = 0; i < n; ++i) {
        float v = 0.0f;
        for (int k = 0; k < 3; ++k)
            v += wave.at(hz[k] * i / kRate) * gain[k];
        layer.samples()[i] = v;
    }
    Svf filter;
    float swell = 1.0f;
    processTrack(layer, [&](float v, long i) {
        if (controlTick(i)) {
            filter.set(120.0 + 320.0 * sweep(i, n, 3, 0.0), 0.9);
            swell = 0.65f + 0.35f * sweep(i, n, 2, 0.25);
        }
        return filter.lowpass(v) * swell;
    });
    addLayer(mix, layer, s.drone);
}

// Three slightly detuned soft saws with a slow swell in and out.
Buffer padNote(double hz, double seconds, Rng& rng)
{
    static const Wavetable wave(14, 3.0);
    Buffer note(samplesFor(seconds), 0.0f);
    const double detune[] = {0.9965, 1.0, 1.0035};
    double start[3];
    for (double& p : start)
        p = rng.uniform();
    for (std::size_t i = 0; i < note.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        float v = 0.0f;
        for (int k = 0; k < 3; ++k)
            v += wave.at(start[k] + hz * detune[k] * t);
        note[i] = v / 3.0f * smoothWindow(t, seconds, 2.5);
    }
    return note;
}

void addPad(Track& mix, Track& send, const MusicStyle& s, Rng& rng)
{
    Track layer(s.seconds, true);
    const double section = s.seconds / s.chords.size();
    for (std::size_t c = 0; c < s.chords.size(); ++c) {
        const std::vector<int>& chord = s.chords[c];
        for (int interval : chord) {
            // Each chord swells in before its section and fades after it: a crossfade.
            const Buffer note = padNote(noteHz(s.root + interval), section + 2.5, rng);
            layer.mix(note, c * section - 1.25, 1.0f / chord.size());
        }
    }
    const long n = layer.size();
    Svf filter;
    processTrack(layer, [&](float v, long i) {
        if (controlTick(i))
            filter.set(650.0 + 550.0 * sweep(i, n, static_cast<double>(s.chords.size()), 0.5), 0.7);
        return filter.lowpass(v);
    });
    addLayer(mix, layer, s.pad, &send, 0.6f);
}

void addBeat(Track& mix, const MusicStyle& s)
{
    Track layer(s.seconds, true);
    const Buffer lub = s.heartbeat ? thump(70.0, 44.0, 0.09) : thump(120.0, 52.0, 0.22);
    const Buffer dub = thump(80.0, 50.0, 0.07);
    const double dubDelay = 0.28 * beatSeconds(s);
    forEachStep(s, s.beatPattern, [&](double t, float strength) {
        // The beat swells and settles twice per loop, so tension comes and goes.
        const float swell =
            0.7f + 0.3f * static_cast<float>(0.5 - 0.5 * std::cos(4.0 * glm::pi<double>() * t / s.seconds));
        layer.mix(lub, t, strength * swell);
        if (s.heartbeat)
            layer.mix(dub, t + dubDelay, 0.6f * strength * swell);
    });
    addLayer(mix, layer, s.beat);
}

Buffer pluck(double hz, float strength)
{
    static const Wavetable wave(16, 4.0);
    Buffer out(samplesFor(0.7), 0.0f);
    Svf filter;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        if (controlTick(static_cast<long>(i)))
            filter.set(150.0 + 900.0 * strength * std::exp(-t / 0.07), 0.9);
        out[i] = filter.lowpass(wave.at(hz * t)) * attackDecay(t, 0.004, 0.16) * strength;
    }
    return out;
}

void addPulse(Track& mix, const MusicStyle& s)
{
    Track layer(s.seconds, true);
    forEachStep(s, s.pulsePattern, [&](double t, float strength) {
        const int bass = s.root + chordAt(s, t)[0] - 12;
        layer.mix(pluck(noteHz(bass), strength), t, 1.0f);
    });
    addLayer(mix, layer, s.pulse);
}

// A soft FM bell: a 2:1 modulator whose brightness dies away faster than the tone.
Buffer bell(double hz)
{
    Buffer out(samplesFor(4.0), 0.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double index = 1.5 * std::exp(-t / 0.3);
        const double v = std::sin(glm::two_pi<double>() * hz * t + index * std::sin(4.0 * glm::pi<double>() * hz * t));
        out[i] = static_cast<float>(v) * attackDecay(t, 0.003, 0.9);
    }
    return out;
}

void addBells(Track& mix, Track& send, const MusicStyle& s, Rng& rng)
{
    Track layer(s.seconds, true);
    for (int b = 0; b < beatCount(s); ++b) {
        if (!rng.chance(s.bellDensity))
            continue;
        const double t = b * beatSeconds(s);
        const std::vector<int>& chord = chordAt(s, t);
        const int interval = chord[rng.next() % chord.size()];
        const int octave = rng.chance(0.3f) ? 24 : 12;
        const int note = s.root + octave + ((interval % 12) + 12) % 12;
        layer.mix(bell(noteHz(note)), t, 0.6f + 0.4f * rng.uniform());
    }
    addLayer(mix, layer, s.bells, &send, 1.2f);
}

// Filtered noise whose band drifts slowly: wind, or the far breath of the fire.
void addWind(Track& mix, const MusicStyle& s, Rng& rng)
{
    Track layer(s.seconds, true);
    for (float& v : layer.samples())
        v = rng.bipolar();
    const long n = layer.size();
    Svf filter;
    float swell = 1.0f;
    processTrack(layer, [&](float v, long i) {
        if (controlTick(i)) {
            filter.set(250.0 + 600.0 * sweep(i, n, 3, 0.1), 2.0);
            swell = 0.3f + 0.7f * sweep(i, n, 2, 0.6);
        }
        return filter.bandpass(v) * swell;
    });
    addLayer(mix, layer, s.wind);
}

void addTicks(Track& mix, const MusicStyle& s, Rng& rng)
{
    Track layer(s.seconds, true);
    Buffer tick(samplesFor(0.08), 0.0f);
    Svf filter;
    filter.set(3500.0, 1.2);
    for (std::size_t i = 0; i < tick.size(); ++i)
        tick[i] = filter.bandpass(rng.bipolar()) * attackDecay(i / double(kRate), 0.001, 0.015);
    forEachStep(s, s.tickPattern, [&](double t, float strength) { layer.mix(tick, t, strength); });
    addLayer(mix, layer, s.ticks);
}

void addReverb(Track& mix, Track& send, const MusicStyle& s)
{
    Reverb reverb(s.reverbRoom, 0.5);
    processTrack(send, [&](float v, long) { return reverb.process(v); });
    addLayer(mix, send, s.reverb);
}

// Removes the DC and sub-audible rumble that the low layers leave behind.
void highpass(Track& mix)
{
    OnePole dc(25.0);
    processTrack(mix, [&](float v, long) { return dc.highpass(v); });
}

} // namespace

Track makeMusic(const MusicStyle& s)
{
    Rng rng(s.seed);
    Track mix(s.seconds, true);
    Track send(s.seconds, true);
    if (s.drone > 0.0f)
        addDrone(mix, s);
    if (s.pad > 0.0f)
        addPad(mix, send, s, rng);
    if (s.beat > 0.0f)
        addBeat(mix, s);
    if (s.pulse > 0.0f)
        addPulse(mix, s);
    if (s.bells > 0.0f)
        addBells(mix, send, s, rng);
    if (s.wind > 0.0f)
        addWind(mix, s, rng);
    if (s.ticks > 0.0f)
        addTicks(mix, s, rng);
    if (s.reverb > 0.0f)
        addReverb(mix, send, s);
    highpass(mix);
    normalise(mix, kMusicRms, kMusicPeak);
    return mix;
}

// D minor, i - VI - iv - V at a resting heart's pace: uneasy but calm enough to run to.
MusicStyle ambientStyle()
{
    MusicStyle s;
    s.seconds = 48.0;
    s.bpm = 60.0;
    s.root = 50;
    s.chords = {{0, 7, 12, 15}, {-4, 3, 8, 12}, {-7, 5, 8, 12}, {-5, 7, 11, 14}};
    s.beatPattern = "X...x...X...x...";
    s.heartbeat = true;
    s.pulsePattern = "X.......x.......";
    s.tickPattern = "";
    s.drone = 1.0f;
    s.pad = 0.9f;
    s.pulse = 0.3f;
    s.beat = 0.55f;
    s.bells = 0.3f;
    s.wind = 0.25f;
    s.ticks = 0.0f;
    s.reverb = 0.45f;
    s.bellDensity = 0.3f;
    s.reverbRoom = 0.85;
    s.seed = 1;
    return s;
}

// E minor at a running pace: a driving eighth-note bass and toms.
MusicStyle fastStyle()
{
    MusicStyle s = ambientStyle();
    s.seconds = 32.0;
    s.bpm = 90.0;
    s.root = 52;
    s.beatPattern = "X.....x.X.......";
    s.heartbeat = false;
    s.pulsePattern = "X.x.x.x.X.x.x.x.";
    s.tickPattern = "..x...x...x...x.";
    s.pulse = 0.6f;
    s.beat = 0.6f;
    s.ticks = 0.12f;
    s.bellDensity = 0.15f;
    s.seed = 2;
    return s;
}

// C phrygian, i - bII - i - V: the flame right behind.
MusicStyle hardcoreStyle()
{
    MusicStyle s = ambientStyle();
    s.seconds = 40.0;
    s.bpm = 96.0;
    s.root = 48;
    s.chords = {{0, 7, 12, 15}, {1, 8, 13, 17}, {0, 7, 12, 15}, {-5, 7, 11, 14}};
    s.beatPattern = "X..x..X...x.X.x.";
    s.heartbeat = false;
    s.pulsePattern = "XxxxXxxxXxxxXxxx";
    s.tickPattern = "x.x.x.x.x.x.x.x.";
    s.drone = 1.2f;
    s.pulse = 0.6f;
    s.beat = 0.7f;
    s.ticks = 0.1f;
    s.bellDensity = 0.1f;
    s.seed = 3;
    return s;
}

// A minor, slow and sparse: bells and pads over a drone, one soft pulse a bar.
MusicStyle forgetItStyle()
{
    MusicStyle s = ambientStyle();
    s.seconds = 56.0;
    s.bpm = 60.0;
    s.root = 45;
    s.chords = {{0, 7, 12, 15}, {-4, 3, 8, 12}, {3, 7, 10, 15}, {-2, 5, 10, 14},
                {0, 7, 12, 15}, {5, 8, 12, 17}, {-5, 7, 11, 14}};
    s.beatPattern = "";
    s.beat = 0.0f;
    s.pulsePattern = "X...............";
    s.pulse = 0.25f;
    s.bells = 0.4f;
    s.bellDensity = 0.35f;
    s.seed = 4;
    return s;
}

} // namespace soundgen
