#include "support/decoded_values.h"

#include "codec/adpcm_decoder.h"
#include "codec/adpcm_filters.h"

namespace sorvane::testing {

ExactValues DecodeExactValues(const EncodedChannel& channel) {
  const int sides = channel.Stereo ? 2 : 1;
  const int perSide = channel.Stereo ? kStereoFramesPerSector : kMonoFramesPerSector;
  ExactValues values;
  DecoderState state;
  std::uint8_t pcm[kPcmBlockBytes];
  for (std::size_t s = 0; s < channel.Sectors.size(); ++s) {
    const std::uint8_t* groups = channel.Sectors[s].data() + kGroupsOffset;
    if (channel.Stereo) {
      DecodeStereoSector(state, groups, pcm);
    } else {
      DecodeMonoSector(state, groups, pcm);
    }
    for (int block = 0; block < perSide / 6; ++block) {
      for (int j : {0, 6}) {
        values.Indexes.push_back(static_cast<int>(s) * perSide + 6 * block + (j == 0 ? 0 : 5));
        for (int side = 0; side < sides; ++side) {
          const std::uint8_t* sample = pcm + 2 * ((7 * block + j) * sides + side);
          values.Sides[side].push_back(static_cast<std::int16_t>(sample[0] | sample[1] << 8));
        }
      }
    }
  }
  return values;
}

}  // namespace sorvane::testing
