#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

long samplesFor(double seconds)
{
    return std::lround(seconds * kRate);
}

Rng::Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull)
{
    if (state_ == 0)
        state_ = 1;
}

std::uint32_t Rng::next()
{
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

float Rng::uniform()
{
    return static_cast<float>(next() >> 8) / 16777216.0f;
}

float Rng::bipolar()
{
    return uniform() * 2.0f - 1.0f;
}

bool Rng::chance(float probability)
{
    return uniform() < probability;
}

Track::Track(double seconds, bool looped) : samples_(samplesFor(seconds), 0.0f), looped_(looped)
{}

void Track::add(long index, float value)
{
    const long n = size();
    if (looped_)
        index = ((index % n) + n) % n;
    else if (index < 0 || index >= n)
        return;
    samples_[index] += value;
}

void Track::mix(const Buffer& sound, double start, float gain)
{
    const long n = size();
    long at = samplesFor(start);
    if (looped_)
        at = ((at % n) + n) % n;
    for (float v : sound) {
        if (at >= n) {
            if (!looped_)
                return;
            at = 0;
        }
        if (at >= 0)
            samples_[at] += v * gain;
        ++at;
    }
}

double noteHz(double midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

double periodicHz(double hz, double seconds)
{
    return std::max(1.0, std::round(hz * seconds)) / seconds;
}

Wavetable::Wavetable(int harmonics, double brightness) : table_(kSize)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < table_.size(); ++i) {
        const double x = static_cast<double>(i) / table_.size();
        double v = 0.0;
        for (int n = 1; n <= harmonics; ++n)
            v += std::sin(glm::two_pi<double>() * n * x) / n * std::exp(-(n - 1) / brightness);
        table_[i] = static_cast<float>(v);
        peak = std::max(peak, std::fabs(table_[i]));
    }
    for (float& v : table_)
        v /= peak;
}

float Wavetable::at(double phase) const
{
    const double pos = (phase - std::floor(phase)) * kSize;
    const std::size_t whole = static_cast<std::size_t>(pos);
    const std::size_t i = whole & (kSize - 1);
    const std::size_t j = (i + 1) & (kSize - 1);
    const float frac = static_cast<float>(pos - static_cast<double>(whole));
    return table_[i] + (table_[j] - table_[i]) * frac;
}

void Svf::set(double cutoffHz, double q)
{
    const double limited = std::clamp(cutoffHz, 10.0, kRate * 0.45);
    g_ = std::tan(glm::pi<double>() * limited / kRate);
    k_ = 1.0 / q;
}

void Svf::tick(float in)
{
    const double a1 = 1.0 / (1.0 + g_ * (g_ + k_));
    const double a2 = g_ * a1;
    const double a3 = g_ * a2;
    const double v3 = in - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    low_ = static_cast<float>(v2);
    band_ = static_cast<float>(v1);
    high_ = static_cast<float>(in - k_ * v1 - v2);
}

float Svf::lowpass(float in)
{
    tick(in);
    return low_;
}

float Svf::bandpass(float in)
{
    tick(in);
    return band_;
}

float Svf::highpass(float in)
{
    tick(in);
    return high_;
}

OnePole::OnePole(double cutoffHz) : a_(1.0 - std::exp(-glm::two_pi<double>() * cutoffHz / kRate))
{}

float OnePole::lowpass(float in)
{
    state_ += a_ * (in - state_);
    return static_cast<float>(state_);
}

float OnePole::highpass(float in)
{
    return in - lowpass(in);
}

Reverb::Reverb(double roomSize, double damping)
    : feedback_(static_cast<float>(roomSize * 0.28 + 0.7)), damping_(static_cast<float>(damping * 0.4))
{
    for (int length : {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617})
        combs_.push_back(Comb{std::vector<float>(length, 0.0f)});
    for (int length : {556, 441, 341, 225})
        allpasses_.push_back(Allpass{std::vector<float>(length, 0.0f)});
}

float Reverb::process(float in)
{
    const float input = in * 0.015f;
    float out = 0.0f;
    for (Comb& c : combs_) {
        const float delayed = c.line[c.pos];
        c.filtered = delayed * (1.0f - damping_) + c.filtered * damping_;
        c.line[c.pos] = input + c.filtered * feedback_;
        c.pos = (c.pos + 1) % c.line.size();
        out += delayed;
    }
    for (Allpass& a : allpasses_) {
        const float delayed = a.line[a.pos];
        a.line[a.pos] = out + delayed * 0.5f;
        a.pos = (a.pos + 1) % a.line.size();
        out = delayed - out;
    }
    return out;
}

float attackDecay(double t, double attack, double decay)
{
    if (t < 0.0)
        return 0.0f;
    if (t < attack)
        return static_cast<float>(t / attack);
    return static_cast<float>(std::exp(-(t - attack) / decay));
}

float smoothWindow(double t, double length, double fade)
{
    if (t < 0.0 || t > length)
        return 0.0f;
    const double edge = std::min(t, length - t);
    if (edge >= fade)
        return 1.0f;
    return static_cast<float>(0.5 - 0.5 * std::cos(glm::pi<double>() * edge / fade));
}

float sweep(long index, long n, double cycles, double offset)
{
    return static_cast<float>(0.5 - 0.5 * std::cos(glm::two_pi<double>() * (cyclePhase(index, n, cycles) + offset)));
}

// A low sine that drops in pitch: the heartbeat's "lub", a tom, a thud.
Buffer thump(double startHz, double endHz, double decay)
{
    Buffer out(samplesFor(decay * 7.0), 0.0f);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double hz = endHz + (startHz - endHz) * std::exp(-t / 0.05);
        phase += hz / kRate;
        const double body = std::sin(glm::two_pi<double>() * phase) + 0.3 * std::sin(4.0 * glm::pi<double>() * phase);
        out[i] = static_cast<float>(body) * attackDecay(t, 0.006, decay);
    }
    return out;
}

Buffer noiseBurst(Rng& rng, double attack, double decay, double centerHz, double q)
{
    Buffer out(samplesFor(attack + decay * 7.0), 0.0f);
    Svf filter;
    filter.set(centerHz, q);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = filter.bandpass(rng.bipolar()) * attackDecay(static_cast<double>(i) / kRate, attack, decay);
    return out;
}

Level measure(const Buffer& samples)
{
    double sum = 0.0;
    float peak = 0.0f;
    for (float v : samples) {
        sum += static_cast<double>(v) * v;
        peak = std::max(peak, std::fabs(v));
    }
    const float rms = samples.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / samples.size()));
    return {peak, rms};
}

void normalise(Track& track, float rms, float peak)
{
    const Level level = measure(track.samples());
    if (level.peak <= 0.0f)
        return;
    const float gain = std::min(rms / level.rms, peak / level.peak);
    for (float& v : track.samples())
        v *= gain;
}

} // namespace soundgen
