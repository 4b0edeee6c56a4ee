#include "app/no_sound_output.h"

namespace sorvane::app {

bool NoSoundOutput::Open(const AudioFormat&) { return false; }

void NoSoundOutput::Write(int, const std::uint8_t*, int) {}

bool NoSoundOutput::IsDone(int) { return true; }

bool NoSoundOutput::Position(std::int64_t&) { return false; }

void NoSoundOutput::Reset() {}

void NoSoundOutput::Close() {}

void NoSoundOutput::Sleep(int) {}

}  // namespace sorvane::app
