// The editor's sound output, chosen when it is built: SDL2's, or none.
#pragma once

#include <memory>

#include "audio/audio_output.h"

namespace sorvane::app {

std::unique_ptr<AudioOutput> CreateSoundOutput();

}  // namespace sorvane::app
