#include "input/sndfile_frames.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sorvane {
namespace {

// Frames read from the file at a time: 64 KiB of doubles per channel pair, whatever the length.
constexpr std::int32_t kBlockFrames = 4096;

SNDFILE* Handle(void* file) { return static_cast<SNDFILE*>(file); }

SpeakerPosition PositionOf(int mapped) {
  switch (mapped) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
      return SpeakerPosition::FrontLeft;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
      return SpeakerPosition::FrontRight;
    case SF_CHANNEL_MAP_MONO:
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
      return SpeakerPosition::FrontCenter;
    case SF_CHANNEL_MAP_LFE:
      return SpeakerPosition::Lfe;
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
      return SpeakerPosition::BackLeft;
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
      return SpeakerPosition::BackRight;
    default:
      return SpeakerPosition::Unused;
  }
}

// The file's own channel map when it has one, else the WAV order.
std::vector<SpeakerPosition> PositionsOf(SNDFILE* file, int channels) {
  std::vector<int> map(static_cast<std::size_t>(channels));
  const int bytes = static_cast<int>(map.size() * sizeof(int));
  if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(), bytes) != SF_TRUE)
    return WavOrderPositions(channels);
  std::vector<SpeakerPosition> positions;
  for (const int m : map) positions.push_back(PositionOf(m));
  return positions;
}

// A sample of full scale 1.0 as a 16-bit value: rounded, clipped.
std::int16_t ToSample(double value) {
  const double scaled = std::nearbyint(value * 32768.0);
  return static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

}  // namespace

SndfileFrames::~SndfileFrames() { Close(); }

void SndfileFrames::Close() {
  if (file_ != nullptr) sf_close(Handle(file_));
  file_ = nullptr;
}

bool SndfileFrames::Open(const std::string& path) {
  Close();
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return false;
  if (info.frames <= 0 || info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    return false;
  }
  file_ = file;
  fileChannels_ = info.channels;
  sourceRate_ = info.samplerate;
  targetRate_ = sourceRate_;
  frames_ = info.frames;
  mix_ = MakeStereoMix(PositionsOf(file, info.channels));
  block_.assign(static_cast<std::size_t>(kBlockFrames) * info.channels, 0.0);
  window_.assign(2 * static_cast<std::size_t>(kBlockFrames), 0);
  step_ = RateStep{};
  windowStart_ = 0;
  windowCount_ = 0;
  failed_ = false;
  return true;
}

bool SndfileFrames::Neighbours(std::int64_t at, std::int16_t a[2], std::int16_t b[2]) {
  if (file_ == nullptr || !Reach(at + 1)) return false;
  const std::int16_t* left = FrameAt(at);
  const std::int16_t* right = FrameAt(at + 1);
  a[0] = left[0];
  a[1] = left[1];
  b[0] = right[0];
  b[1] = right[1];
  return true;
}

const std::int16_t* SndfileFrames::FrameAt(std::int64_t index) const {
  return window_.data() + 2 * static_cast<std::size_t>(index - windowStart_);
}

// Loads blocks until frame `index` is in the window, keeping the frames from the current
// position on (the left neighbour of the next blend). False on a read that ends too early.
bool SndfileFrames::Reach(std::int64_t index) {
  while (!failed_ && index >= windowStart_ + windowCount_) {
    const std::int64_t end = windowStart_ + windowCount_;
    const std::int64_t keepFrom = std::min<std::int64_t>(step_.Position, end);
    const auto keep = static_cast<std::int32_t>(end - keepFrom);
    std::memmove(window_.data(), FrameAt(keepFrom), 2 * sizeof(std::int16_t) * keep);
    windowStart_ = keepFrom;
    windowCount_ = keep;
    const std::int32_t got = ReadBlock(window_.data() + 2 * keep, kBlockFrames - keep);
    if (got <= 0) failed_ = true;
    windowCount_ += std::max(got, 0);
  }
  return !failed_;
}

std::int32_t SndfileFrames::ReadBlock(std::int16_t* out, std::int32_t frames) {
  const sf_count_t got = sf_readf_double(Handle(file_), block_.data(), frames);
  for (sf_count_t k = 0; k < got; ++k) {
    double left = 0.0;
    double right = 0.0;
    MixFrame(mix_, block_.data() + k * fileChannels_, left, right);
    out[2 * k] = ToSample(left);
    out[2 * k + 1] = ToSample(right);
  }
  return static_cast<std::int32_t>(got);
}

}  // namespace sorvane
