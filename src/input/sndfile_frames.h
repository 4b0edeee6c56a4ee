// Audio files the described WAV reader does not take (WAVs with other chunks, extensible,
// 24/32-bit and float WAVs, RF64, W64, AIFF, FLAC, Ogg Vorbis, Opus, MP3), read through
// libsndfile as the same stream of 16-bit stereo frames and the same rate conversion. The
// file is streamed a block at a time, whatever its length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/frame_source.h"
#include "input/stereo_mix.h"

namespace sorvane {

class SndfileFrames : public InterpolatedFrames {
 public:
  SndfileFrames() = default;
  ~SndfileFrames() override;
  SndfileFrames(const SndfileFrames&) = delete;
  SndfileFrames& operator=(const SndfileFrames&) = delete;

  // False, holding no file, when libsndfile cannot open the file or it holds no frames.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // 1 for a mono file, else 2: more channels are mixed to stereo.
  std::int32_t ChannelCount() const override { return fileChannels_ == 1 ? 1 : 2; }
  // True once the file ended before the frames its header promised (a truncated or
  // damaged file, a failing device).
  bool ReadFailed() const override { return failed_; }

 private:
  bool Neighbours(std::int64_t at, std::int16_t a[2], std::int16_t b[2]) override;
  bool Reach(std::int64_t index);
  std::int32_t ReadBlock(std::int16_t* out, std::int32_t frames);
  const std::int16_t* FrameAt(std::int64_t index) const;

  void* file_ = nullptr;  // SNDFILE*, kept out of the header so only this file sees libsndfile
  std::int32_t fileChannels_ = 0;
  StereoMix mix_;
  std::vector<double> block_;         // one block as libsndfile delivers it
  std::vector<std::int16_t> window_;  // stereo frames from windowStart_ on
  std::int64_t windowStart_ = 0;
  std::int32_t windowCount_ = 0;
  bool failed_ = false;
};

}  // namespace sorvane
