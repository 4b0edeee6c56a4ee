// Decodes an encoded channel with our decoder and keeps the decoded values that its 6-to-7
// rate conversion passes through unchanged (samples 7b and 7b + 6 of each side are values
// 6b and 6b + 5), so that they can be compared with the encoder's input at the encoder's rate.
#pragma once

#include <cstdint>
#include <vector>

#include "support/encoded_channel.h"

namespace sorvane::testing {

struct ExactValues {
  std::vector<int> Indexes;            // positions in the channel's frames at its rate
  std::vector<std::int32_t> Sides[2];  // the decoded values there; mono in Sides[0]
};

// Decodes every sector in order from a fresh DecoderState.
ExactValues DecodeExactValues(const EncodedChannel& channel);

}  // namespace sorvane::testing
