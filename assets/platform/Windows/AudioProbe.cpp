#include "assets/AudioPlatform.h"

namespace audio_platform {

// Windows' audio drivers report to SDL, not to the console.
void silenceDeviceProbing()
{}

} // namespace audio_platform
