// The sound an import encodes, as 16-bit stereo frames at the rate the channel needs: from a
// WAV file, or made in memory. The rate conversion is the WAV reader's linear interpolation
// with a weight resolution of one hundredth of the phase, whatever the source.
#pragma once

#include <cstdint>
#include <vector>

#include "input/wav_reader.h"

namespace sorvane {

class FrameSource {
 public:
  virtual ~FrameSource() = default;
  virtual std::int32_t SourceRate() const = 0;
  virtual std::int32_t ChannelCount() const = 0;
  // Sets the rate of the frames delivered from now on and returns how many frames the whole
  // sound holds at that rate (frames x rate / SourceRate in double precision, truncated).
  virtual std::int32_t SetTargetRate(std::int32_t rate) = 0;
  // Writes the next frame (left, right) and advances; (0, 0) from the end on.
  virtual void ReadFrame(std::int16_t out[2]) = 0;
  // True once a read failed part-way: the frames delivered since then are silence, and the
  // import that reads them must stop.
  virtual bool ReadFailed() const { return false; }
};

// An open WavReader seen as a frame source.
class WavFrames : public FrameSource {
 public:
  explicit WavFrames(WavReader& reader) : reader_(reader) {}
  std::int32_t SourceRate() const override { return reader_.SourceRate; }
  std::int32_t ChannelCount() const override { return reader_.ChannelCount; }
  std::int32_t SetTargetRate(std::int32_t rate) override;
  void ReadFrame(std::int16_t out[2]) override { reader_.ReadFrame(out); }

 private:
  WavReader& reader_;
};

// A source whose frames at their own rate come from Neighbours, brought to the target rate
// by the WAV reader's linear interpolation, step for step as the reader does it.
class InterpolatedFrames : public FrameSource {
 public:
  std::int32_t SourceRate() const override { return sourceRate_; }
  std::int32_t SetTargetRate(std::int32_t rate) override;
  void ReadFrame(std::int16_t out[2]) override;

 protected:
  // Source frames `at` and `at + 1` as (left, right) pairs; false when they cannot be had.
  virtual bool Neighbours(std::int64_t at, std::int16_t a[2], std::int16_t b[2]) = 0;

  std::int32_t sourceRate_ = 0;
  std::int32_t targetRate_ = 0;
  std::int64_t frames_ = 0;
  RateStep step_;
};

// Interleaved samples in memory (one or two channels), delivered exactly as the WAV reader
// delivers the same samples read from a 16-bit WAV file.
class MemoryFrames : public InterpolatedFrames {
 public:
  MemoryFrames(std::vector<std::int16_t> samples, std::int32_t channels, std::int32_t rate);
  std::int32_t ChannelCount() const override { return channels_; }

 private:
  bool Neighbours(std::int64_t at, std::int16_t a[2], std::int16_t b[2]) override;

  std::vector<std::int16_t> samples_;
  std::int32_t channels_;
};

}  // namespace sorvane
