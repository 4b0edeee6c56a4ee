// The sound card through SDL2's queued audio: the default output device, opened for exactly
// the format asked for (SDL converts for the hardware when it must), with no callback.
#pragma once

#include <cstdint>

#include "audio/audio_output.h"
#include "audio/queue_accounting.h"

namespace sorvane {

class SdlAudioOutput : public AudioOutput {
 public:
  SdlAudioOutput() = default;
  ~SdlAudioOutput() override;
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  // Starts SDL's audio for the time the device is open; SDL_AUDIODRIVER chooses the driver.
  bool Open(const AudioFormat& format) override;
  void Write(int index, const std::uint8_t* data, int bytes) override;
  bool IsDone(int index) override;
  bool Position(std::int64_t& bytes) override;
  void Reset() override;
  void Close() override;
  void Sleep(int milliseconds) override;

 private:
  // False once SDL has given the device up (lost, or never opened).
  bool Running() const;
  std::int64_t Queued() const;

  std::uint32_t device_ = 0;  // SDL_AudioDeviceID; 0 when closed
  bool paused_ = false;
  QueueAccounting accounting_;
};

}  // namespace sorvane
