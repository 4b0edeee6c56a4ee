// The sound output of `play`, loaded at run time from the module beside the program (or in its
// library folder once installed), so that the other commands start without SDL2.
#pragma once

#include <memory>

#include "audio/audio_output.h"

namespace sorvane::cli {

// The module's sound output; nullptr when the module or its libraries cannot be loaded.
std::unique_ptr<AudioOutput> LoadSoundOutput();

}  // namespace sorvane::cli
