// The sound output of an editor built without one: no device ever opens, so play reports
// that the sound device cannot be opened, as on a machine without a sound card.
#pragma once

#include <memory>

#include "audio/audio_output.h"

namespace sorvane::app {

std::unique_ptr<AudioOutput> CreateNoSoundOutput();

}  // namespace sorvane::app
