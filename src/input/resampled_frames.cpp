#include "input/resampled_frames.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace sorvane {
namespace {

constexpr std::size_t kChunkFrames = 4096;

std::int16_t ToSample(float v) {
  return static_cast<std::int16_t>(std::clamp(std::lrint(v * 32768.0f), -32768L, 32767L));
}

}  // namespace

ResampledFrames::~ResampledFrames() {
  if (soxr_ != nullptr) soxr_delete(soxr_);
}

std::int32_t ResampledFrames::SetTargetRate(std::int32_t rate) {
  if (soxr_ != nullptr) soxr_delete(soxr_);
  soxr_ = nullptr;
  const std::int32_t sourceRate = source_.SourceRate();
  sourceFrames_ = source_.SetTargetRate(sourceRate);  // the source's own frames, unchanged
  targetFrames_ = TargetFrames(sourceFrames_, rate, sourceRate);
  flushed_ = false;
  outAt_ = outCount_ = 0;
  if (rate < 1 || sourceRate < 1) return targetFrames_;
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ | SOXR_LINEAR_PHASE, 0);
  soxr_error_t error = nullptr;
  soxr_ = soxr_create(sourceRate, rate, 2, &error, &io, &quality, nullptr);
  if (error != nullptr) soxr_ = nullptr;
  in_.resize(2 * kChunkFrames);
  const double ratio = double(rate) / sourceRate;
  out_.resize(2 * (static_cast<std::size_t>(kChunkFrames * ratio) + 64));
  return targetFrames_;
}

// Converts the next chunk of the source (or, at its end, what soxr still holds).
void ResampledFrames::Refill() {
  outAt_ = outCount_ = 0;
  if (soxr_ == nullptr || flushed_) return;
  const std::size_t take = std::min<std::size_t>(kChunkFrames, std::size_t(sourceFrames_));
  std::int16_t frame[2];
  for (std::size_t i = 0; i < take; ++i) {
    source_.ReadFrame(frame);
    in_[2 * i] = frame[0] / 32768.0f;
    in_[2 * i + 1] = frame[1] / 32768.0f;
  }
  sourceFrames_ -= static_cast<std::int32_t>(take);
  std::size_t done = 0;
  // An empty input asks soxr for the rest of what it holds.
  soxr_process(soxr_, take > 0 ? in_.data() : nullptr, take, nullptr, out_.data(), out_.size() / 2,
               &done);
  if (take == 0 && done == 0) flushed_ = true;
  outCount_ = done;
}

void ResampledFrames::ReadFrame(std::int16_t out[2]) {
  out[0] = out[1] = 0;
  if (targetFrames_ <= 0) return;  // past the end: silence, as every source gives
  --targetFrames_;
  while (outAt_ == outCount_ && !flushed_ && soxr_ != nullptr) Refill();
  if (outAt_ == outCount_) return;
  out[0] = ToSample(out_[2 * outAt_]);
  out[1] = ToSample(out_[2 * outAt_ + 1]);
  ++outAt_;
}

}  // namespace sorvane
