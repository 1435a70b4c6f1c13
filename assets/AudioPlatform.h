#pragma once

// What opening the audio device needs of the system it runs on; each system has its own
// source file under assets/platform/<system>/, and the build picks one.
namespace audio_platform {

// Keeps the system's sound library from writing its own diagnostics to the console while
// the audio devices are probed: a machine without a sound card should just run silent.
void silenceDeviceProbing();

} // namespace audio_platform
