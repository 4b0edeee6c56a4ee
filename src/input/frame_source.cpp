#include "input/frame_source.h"

#include <utility>

namespace sorvane {

std::int32_t WavFrames::SetTargetRate(std::int32_t rate) {
  reader_.TargetRate = rate;
  return reader_.TargetLength();
}

std::int32_t InterpolatedFrames::SetTargetRate(std::int32_t rate) {
  targetRate_ = rate;
  return TargetFrames(frames_, rate, sourceRate_);
}

void InterpolatedFrames::ReadFrame(std::int16_t out[2]) {
  out[0] = 0;
  out[1] = 0;
  if (targetRate_ < 1) return;
  // As in the WAV reader, the last frame has no right neighbour and gives silence.
  std::int16_t a[2], b[2];
  if (step_.Position + 1 < frames_ && Neighbours(step_.Position, a, b)) {
    out[0] = BlendNeighbours(targetRate_, step_.Phase, a[0], b[0]);
    out[1] = BlendNeighbours(targetRate_, step_.Phase, a[1], b[1]);
  }
  AdvanceRateStep(step_, sourceRate_, targetRate_);
}

MemoryFrames::MemoryFrames(std::vector<std::int16_t> samples, std::int32_t channels,
                           std::int32_t rate)
    : samples_(std::move(samples)), channels_(channels) {
  sourceRate_ = rate;
  targetRate_ = rate;
  frames_ = static_cast<std::int64_t>(samples_.size() / static_cast<std::size_t>(channels));
}

bool MemoryFrames::Neighbours(std::int64_t at, std::int16_t a[2], std::int16_t b[2]) {
  const std::size_t first = static_cast<std::size_t>(at) * channels_;
  const std::size_t next = first + static_cast<std::size_t>(channels_);
  const std::size_t right = channels_ == 1 ? 0 : 1;
  a[0] = samples_[first];
  a[1] = samples_[first + right];
  b[0] = samples_[next];
  b[1] = samples_[next + right];
  return true;
}

}  // namespace sorvane
