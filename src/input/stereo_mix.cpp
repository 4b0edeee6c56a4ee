#include "input/stereo_mix.h"

#include <cstddef>

namespace sorvane {
namespace {

// Level of a centre or back channel in each side it feeds (-3 dB).
constexpr double kSideLevel = 0.7071;
// 1 + 2 x 0.7071: the largest sum one side can reach.
constexpr double kMixScale = 1.0 / 2.4142;

std::array<double, 2> WeightsOf(SpeakerPosition position) {
  switch (position) {
    case SpeakerPosition::FrontLeft:
      return {kMixScale, 0.0};
    case SpeakerPosition::FrontRight:
      return {0.0, kMixScale};
    case SpeakerPosition::FrontCenter:
      return {kSideLevel * kMixScale, kSideLevel * kMixScale};
    case SpeakerPosition::BackLeft:
      return {kSideLevel * kMixScale, 0.0};
    case SpeakerPosition::BackRight:
      return {0.0, kSideLevel * kMixScale};
    case SpeakerPosition::Lfe:
    case SpeakerPosition::Unused:
      break;
  }
  return {0.0, 0.0};
}

}  // namespace

std::vector<SpeakerPosition> WavOrderPositions(int channels) {
  static constexpr SpeakerPosition kOrder[] = {
      SpeakerPosition::FrontLeft, SpeakerPosition::FrontRight, SpeakerPosition::FrontCenter,
      SpeakerPosition::Lfe,       SpeakerPosition::BackLeft,   SpeakerPosition::BackRight};
  std::vector<SpeakerPosition> positions;
  for (int k = 0; k < channels; ++k)
    positions.push_back(k < 6 ? kOrder[k] : SpeakerPosition::Unused);
  return positions;
}

StereoMix MakeStereoMix(const std::vector<SpeakerPosition>& positions) {
  StereoMix mix;
  if (positions.size() == 1) {
    mix.Weights.push_back({1.0, 1.0});
  } else if (positions.size() == 2) {
    mix.Weights = {{1.0, 0.0}, {0.0, 1.0}};
  } else {
    for (const SpeakerPosition p : positions) mix.Weights.push_back(WeightsOf(p));
  }
  return mix;
}

void MixFrame(const StereoMix& mix, const double* frame, double& left, double& right) {
  left = 0.0;
  right = 0.0;
  for (std::size_t k = 0; k < mix.Weights.size(); ++k) {
    left += mix.Weights[k][0] * frame[k];
    right += mix.Weights[k][1] * frame[k];
  }
}

}  // namespace sorvane
