// The SDL2 sound output as a module that sorvane-cli loads only to play, so that no other
// command loads SDL2 and the desktop libraries behind it.
#include "audio/sdl_audio_output.h"

extern "C" __attribute__((visibility("default"))) sorvane::AudioOutput* SorvaneCreateSoundOutput() {
  return new sorvane::SdlAudioOutput();
}
