// The high-quality path's rate conversion: the frames of another source at its own rate,
// converted by libsoxr (very high quality, linear phase) instead of the described linear
// interpolation. The length at the target rate is the same as the interpolation's, so the
// channel gets the same number of sectors either way.
#pragma once

#include <cstdint>
#include <vector>

#include "input/frame_source.h"

typedef struct soxr* soxr_t;

namespace sorvane {

class ResampledFrames : public FrameSource {
 public:
  explicit ResampledFrames(FrameSource& source) : source_(source) {}
  ~ResampledFrames() override;
  ResampledFrames(const ResampledFrames&) = delete;
  ResampledFrames& operator=(const ResampledFrames&) = delete;

  std::int32_t SourceRate() const override { return source_.SourceRate(); }
  std::int32_t ChannelCount() const override { return source_.ChannelCount(); }
  std::int32_t SetTargetRate(std::int32_t rate) override;
  void ReadFrame(std::int16_t out[2]) override;
  bool ReadFailed() const override { return source_.ReadFailed(); }

 private:
  void Refill();

  FrameSource& source_;
  soxr_t soxr_ = nullptr;
  std::int32_t sourceFrames_ = 0;  // left to read from the source
  std::int32_t targetFrames_ = 0;  // left to deliver
  bool flushed_ = false;
  std::vector<float> in_;
  std::vector<float> out_;
  std::size_t outAt_ = 0;     // next frame of out_ to deliver
  std::size_t outCount_ = 0;  // frames in out_
};

}  // namespace sorvane
