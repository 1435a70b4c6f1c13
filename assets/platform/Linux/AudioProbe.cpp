#include "assets/AudioPlatform.h"

#include <dlfcn.h>

namespace {

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...)
{}

} // namespace

namespace audio_platform {

// ALSA's library writes to stderr while SDL probes for a device: on a machine without a sound
// card that is a screenful of lines. SDL loads the same library instance, so a handler set here
// covers its probe. The library stays loaded for the rest of the run, as SDL keeps it too.
void silenceDeviceProbing()
{
    void* alsa = dlopen("libasound.so.2", RTLD_NOW);
    if (!alsa)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        setHandler(ignoreAlsaMessage);
}

} // namespace audio_platform
