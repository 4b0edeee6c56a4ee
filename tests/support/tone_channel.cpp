#include "support/tone_channel.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "codec/adpcm_encoder.h"
#include "format/quality.h"

namespace sorvane::testing {
namespace {

std::int16_t ToneAt(const Tone& tone, long long frame, int rate) {
  return static_cast<std::int16_t>(
      std::lround(tone.Amplitude * std::sin(2 * std::numbers::pi * tone.Hertz * frame / rate)));
}

}  // namespace

XaBuilder ToneChannelFile(int sectors, const ChannelRecord& record, Tone left, Tone right) {
  XaBuilder builder(sectors);
  builder.Channel(record.Channel, record.HighRate, record.Stereo, record.FirstSector,
                  record.Interleave, record.SectorCount);
  const Quality quality = QualityOf(record);
  const int perSector = FramesPerSector(quality);
  const std::uint8_t subheader[4] = {1, record.Channel, kSubmodeAudioSector, CodingInfo(quality)};
  EncoderState state;
  std::vector<std::int16_t> frames(2 * static_cast<std::size_t>(perSector));
  std::array<std::uint8_t, kSectorBytes> image{};
  for (int k = 0; k < record.SectorCount; ++k) {
    for (int i = 0; i < perSector; ++i) {
      const long long frame = static_cast<long long>(k) * perSector + i;
      frames[2 * i] = ToneAt(left, frame, XaRate(quality));
      frames[2 * i + 1] = ToneAt(right, frame, XaRate(quality));
    }
    EncodeAudioSector(state, frames.data(), subheader, image.data());
    builder.Payload(record.FirstSector + k * record.Interleave,
                    std::vector<std::uint8_t>(image.begin() + 8, image.end()));
  }
  return builder;
}

}  // namespace sorvane::testing
