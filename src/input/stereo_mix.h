// How the channels of an input file become the left and right of a stereo frame: one channel
// goes to both sides, two stay as they are, more are mixed down by their speaker positions.
#pragma once

#include <array>
#include <vector>

namespace sorvane {

// Where a channel's speaker stands; Unused channels (the LFE, and channels of no known
// position) take no part in the mix.
enum class SpeakerPosition { FrontLeft, FrontRight, FrontCenter, Lfe, BackLeft, BackRight, Unused };

// The weights of each input channel in the left and right output.
struct StereoMix {
  std::vector<std::array<double, 2>> Weights;
};

// The positions of `channels` channels when the file names none: the WAV order FL FR FC LFE
// BL BR, channels beyond the sixth unused.
std::vector<SpeakerPosition> WavOrderPositions(int channels);

// One channel: both sides. Two: left and right as they are. More: L = FL + 0.7071 FC +
// 0.7071 BL, R = FR + 0.7071 FC + 0.7071 BR, the sum scaled by 1 / 2.4142 so that the
// loudest sum cannot pass full scale.
StereoMix MakeStereoMix(const std::vector<SpeakerPosition>& positions);

// Mixes one frame of interleaved samples (as many as the mix has weights) to left and right.
void MixFrame(const StereoMix& mix, const double* frame, double& left, double& right);

}  // namespace sorvane
