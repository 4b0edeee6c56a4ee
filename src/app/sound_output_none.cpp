// An editor built without a sound output.
#include "app/no_sound_output.h"
#include "app/sound_output.h"

namespace sorvane::app {

std::unique_ptr<AudioOutput> CreateSoundOutput() { return CreateNoSoundOutput(); }

}  // namespace sorvane::app
