// Done flags and play position for a device that only reports how many bytes are still
// queued: every buffer handed over ends at a known byte of the stream, and the device has
// played everything handed over except what is still queued.
#pragma once

#include <array>
#include <cstdint>

namespace sorvane {

class QueueAccounting {
 public:
  static constexpr int kBuffers = 16;

  // Buffer `index` (0..kBuffers-1) of `bytes` joined the queue.
  void Handed(int index, std::int64_t bytes);
  // Bytes played, given the bytes the device still holds.
  std::int64_t Played(std::int64_t queued) const;
  // Whether buffer `index` has been played, given the bytes the device still holds.
  bool IsDone(int index, std::int64_t queued) const;
  // The device dropped its queue, `queued` bytes of it unplayed: every buffer is done and the
  // position stays where the sound stopped.
  void Cleared(std::int64_t queued);
  // Back to an empty stream (a newly opened device).
  void Restart();

 private:
  std::int64_t handed_ = 0;  // bytes handed over since the start, minus those cleared
  std::array<std::int64_t, kBuffers> end_{};  // stream byte after each buffer
  std::array<bool, kBuffers> pending_{};
};

}  // namespace sorvane
