// The sound output of an editor built without one: no device ever opens, so play reports
// that the sound device cannot be opened, as on a machine without a sound card.
#pragma once

#include "audio/audio_output.h"

namespace sorvane::app {

class NoSoundOutput : public AudioOutput {
 public:
  bool Open(const AudioFormat& format) override;
  // Never called: nothing is called on a device that did not open.
  void Write(int index, const std::uint8_t* data, int bytes) override;
  bool IsDone(int index) override;
  bool Position(std::int64_t& bytes) override;
  void Reset() override;
  void Close() override;
  void Sleep(int milliseconds) override;
};

}  // namespace sorvane::app
