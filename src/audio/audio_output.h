// The sound device as playback sees it: a queue of numbered buffers that it plays in the
// order handed over, a done flag per buffer and a play position. One thread; every call
// returns at once except Sleep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace sorvane {

// 16-bit signed little-endian PCM.
struct AudioFormat {
  int SampleRate = 44100;  // 44100 or 22050
  int Channels = 1;        // 1 or 2

  int BlockAlign() const { return Channels * 2; }
  int BytesPerSecond() const { return SampleRate * BlockAlign(); }
  bool operator==(const AudioFormat&) const = default;
};

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Opens the default output device for exactly `format`; false when there is none or it
  // cannot play the format. Nothing else is called on a device that did not open.
  virtual bool Open(const AudioFormat& format) = 0;
  // Queues `bytes` of `data` as buffer `index` (0..15) behind what was handed over before.
  // `data` stays valid and unchanged until the buffer is done, or until Reset or Close.
  virtual void Write(int index, const std::uint8_t* data, int bytes) = 0;
  // True when buffer `index` has been played (or was never handed over, or was given back by
  // Reset); false while the device still holds it.
  virtual bool IsDone(int index) = 0;
  // Bytes played since Open; false when the device cannot tell.
  virtual bool Position(std::int64_t& bytes) = 0;
  // Stops the sound at once and gives back every buffer.
  virtual void Reset() = 0;
  virtual void Close() = 0;
  // Waits; scripted outputs advance a clock of their own instead.
  virtual void Sleep(int milliseconds) = 0;

  // The memory of one buffer, allocated once per play; nullptr when it cannot be had.
  virtual std::uint8_t* AllocateBlock(std::size_t bytes) {
    return new (std::nothrow) std::uint8_t[bytes];
  }
  virtual void FreeBlock(std::uint8_t* block) { delete[] block; }
};

}  // namespace sorvane
