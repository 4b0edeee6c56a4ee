// Encoder and decoder together: generated sound encoded by our encoder and decoded by our
// decoder comes back close to the frames the encoder was fed.
//
// The decoder writes 7 samples for every 6 values it decodes (x0, (x0 + 5 x1) / 6, ...,
// (5 x4 + x5) / 6, x5), and every sector starts a new block of 6. Samples 7b and 7b + 6 of each
// side are therefore the decoded values 6b and 6b + 5 themselves, untouched by the rate
// conversion, at the encoder's rate and time positions. The comparison uses those: a third of
// all values, covering every position within the 28-sample units (6b runs through all even
// positions, 6b + 5 through all odd ones).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/adpcm_decoder.h"
#include "support/decoded_values.h"
#include "support/encoded_channel.h"
#include "support/named_case.h"
#include "support/signals.h"
#include "support/temp_dir.h"

namespace sorvane {
namespace {

using testing::PrintTo;

struct Quality {
  const char* Name;
  int Rate;
  bool Stereo;
  double MinSnrDb;
};

// Measured 44.6 to 45.1 dB at 37.8 kHz and 35.4 to 36.5 dB at 18.9 kHz (the sweep reaches
// higher frequencies relative to the rate there); the floors lie 6.5 dB or more below. A wrong
// filter number, shift, nibble half or nibble order in the encoder gives under 2 dB.
const Quality kQualities[] = {{"Stereo378", 37800, true, 38.0},
                              {"Mono378", 37800, false, 38.0},
                              {"Stereo189", 18900, true, 28.0},
                              {"Mono189", 18900, false, 28.0}};

class CodecRoundTrip : public ::testing::TestWithParam<Quality> {};

TEST_P(CodecRoundTrip, DecodedSoundMatchesTheEncodedFrames) {
  const Quality& q = GetParam();
  testing::TempDir dir;
  testing::EncodedChannel channel =
      testing::EncodeGeneratedSound(dir.File("in.wav"), q.Rate, q.Stereo, 4.0);
  ASSERT_GE(channel.Sectors.size(),
            18u);  // 4 s: 18 sectors at 18.9 kHz mono, 75 at 37.8 kHz stereo

  testing::ExactValues decoded = testing::DecodeExactValues(channel);
  const int sides = q.Stereo ? 2 : 1;
  for (int side = 0; side < sides; ++side) {
    const std::vector<std::int32_t>& input = side == 0 ? channel.Left : channel.Right;
    std::vector<std::int32_t> reference;
    for (int index : decoded.Indexes) reference.push_back(input[index]);
    double snr = testing::SnrDb(reference, decoded.Sides[side]);
    RecordProperty(side == 0 ? "snr_db_left" : "snr_db_right", std::to_string(snr));
    EXPECT_GE(snr, q.MinSnrDb) << "side " << side;
  }
}

INSTANTIATE_TEST_SUITE_P(Qualities, CodecRoundTrip, ::testing::ValuesIn(kQualities),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace sorvane
