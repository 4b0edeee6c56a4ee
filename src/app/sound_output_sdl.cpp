// The sound card through SDL2.
#include "app/sound_output.h"
#include "audio/sdl_audio_output.h"

namespace sorvane::app {

std::unique_ptr<AudioOutput> CreateSoundOutput() { return std::make_unique<SdlAudioOutput>(); }

}  // namespace sorvane::app
