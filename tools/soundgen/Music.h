#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Synth.h"

namespace soundgen {

// One ambient loop: a drone, minor-key pads, a low pulse and beat, sparse bells and a wind
// of filtered noise. Every layer repeats exactly over `seconds`, so the loop has no join.
struct MusicStyle {
    double seconds; // loop length; holds a whole number of beats
    double bpm;
    int root;                             // MIDI note of the key's tonic in the pad's octave
    std::vector<std::vector<int>> chords; // semitones above the root, one chord per section
    std::string beatPattern;              // a bar in sixteenths: 'X' strong, 'x' soft, '.' rest
    bool heartbeat;                       // beats as a low "lub-dub" rather than a tom
    std::string pulsePattern;             // bass plucks on the chord's lowest note, like beatPattern
    std::string tickPattern;              // soft high ticks, like beatPattern ("" for none)
    // Relative loudness of each layer (RMS before the final level).
    float drone, pad, pulse, beat, bells, wind, ticks, reverb;
    float bellDensity; // chance that a bell sounds on a bell slot
    double reverbRoom;
    std::uint64_t seed;
};

Track makeMusic(const MusicStyle& style);

MusicStyle ambientStyle(); // id 0: the track the game plays
MusicStyle fastStyle();
MusicStyle hardcoreStyle();
MusicStyle forgetItStyle();

} // namespace soundgen
