#pragma once
#include <string>

#include "Synth.h"

namespace soundgen {

// Encodes a mono track as a constant-bitrate MP3 with a LAME info tag. The tag records the
// encoder's delay and padding, which gapless decoders (mpg123, and so SDL_mixer) cut off
// again: a decoded loop then has exactly the track's length and joins without a gap.
// Returns false (with a message on stderr) when the file cannot be written.
bool writeMp3(const Track& track, const std::string& path, int kbps);

} // namespace soundgen
