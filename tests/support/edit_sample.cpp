#include "support/edit_sample.h"

#include <cstdint>

#include "support/wav_builder.h"

namespace sorvane::testing {

std::vector<int> ChannelSectors(int channel) {
  const int first = channel == 3 ? 99 : channel - 1;
  const int count = channel == 3 ? 4 : 10;
  std::vector<int> sectors;
  for (int k = 0; k < count; ++k) sectors.push_back(first + k * kSampleInterleave);
  return sectors;
}

std::vector<int> DataSectors() { return {90, 91, 92, 93, 94, 95}; }

void BuildEditSample(Layout layout, const std::string& path) {
  XaBuilder builder(kSampleSectors, layout);
  for (int channel : {1, 2, 3}) {
    const std::vector<int> sectors = ChannelSectors(channel);
    builder.Channel(channel, false, true, sectors[0], kSampleInterleave, int(sectors.size()));
    for (int index : sectors)
      builder.Payload(index, std::vector<std::uint8_t>(64, std::uint8_t(channel * 16 + index)));
  }
  builder.DataRange(90, 6).Payload(92, std::vector<std::uint8_t>(100, 0xA5));
  builder.Write(path);
}

void BuildSampleWav(int sectors, const std::string& path) {
  const int frames = sectors * 2016;
  WavBuilder(2, 18900, 16)
      .Samples16(Frames16(frames, 2, [](int i, int c) { return (i * 53 + c * 700) % 9000 - 4500; }))
      .Write(path);
}

}  // namespace sorvane::testing
