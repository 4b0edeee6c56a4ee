#include "input/frame_source.h"

#include <utility>

namespace sorvane {

std::int32_t WavFrames::SetTargetRate(std::int32_t rate) {
  reader_.TargetRate = rate;
  return reader_.TargetLength();
}

MemoryFrames::MemoryFrames(std::vector<std::int16_t> samples, std::int32_t channels,
                           std::int32_t rate)
    : samples_(std::move(samples)),
      channels_(channels),
      sourceRate_(rate),
      targetRate_(rate),
      frames_(static_cast<std::int32_t>(samples_.size() / static_cast<std::size_t>(channels))) {}

std::int32_t MemoryFrames::SetTargetRate(std::int32_t rate) {
  targetRate_ = rate;
  return TargetFrames(frames_, rate, sourceRate_);
}

void MemoryFrames::ReadFrame(std::int16_t out[2]) {
  out[0] = 0;
  out[1] = 0;
  if (targetRate_ < 1) return;
  // As in the reader, the last frame has no right neighbour and gives silence.
  if (step_.Position + 1 < frames_) {
    const std::size_t at = static_cast<std::size_t>(step_.Position) * channels_;
    const std::size_t next = at + static_cast<std::size_t>(channels_);
    const std::size_t right = channels_ == 1 ? 0 : 1;
    out[0] = BlendNeighbours(targetRate_, step_.Phase, samples_[at], samples_[next]);
    out[1] =
        BlendNeighbours(targetRate_, step_.Phase, samples_[at + right], samples_[next + right]);
  }
  AdvanceRateStep(step_, sourceRate_, targetRate_);
}

}  // namespace sorvane
