#include "support/encoded_channel.h"

#include "codec/adpcm_encoder.h"
#include "input/wav_reader.h"
#include "support/signals.h"
#include "support/wav_builder.h"

namespace sorvane::testing {

EncodedChannel EncodeGeneratedSound(const std::string& wavPath, int rate, bool stereo,
                                    double seconds, GeneratedSignal signal) {
  constexpr int kSourceRate = 44100;
  WavBuilder(2, kSourceRate, 16)
      .Samples16(signal == GeneratedSignal::FadeToQuiet ? FadeToQuiet(kSourceRate, seconds, 2)
                                                        : ChordWithSweep(kSourceRate, seconds, 2))
      .Write(wavPath);

  EncodedChannel channel;
  channel.Rate = rate;
  channel.Stereo = stereo;
  WavReader encoderInput;
  WavReader sameInput;  // a second reader delivers the very frames the encoder reads
  if (encoderInput.Open(wavPath) != 0 || sameInput.Open(wavPath) != 0) return channel;
  encoderInput.TargetRate = rate;
  sameInput.TargetRate = rate;

  const int perSector = stereo ? kStereoFramesPerSector : kMonoFramesPerSector;
  const int sectors = encoderInput.TargetLength() / perSector;
  const std::uint8_t subheader[4] = {
      1, 1, 0x64, static_cast<std::uint8_t>((stereo ? 1 : 0) | (rate == 18900 ? 4 : 0))};
  EncoderState state;
  channel.Sectors.resize(static_cast<std::size_t>(sectors));
  std::vector<std::int16_t> frames(2 * static_cast<std::size_t>(perSector));
  for (auto& image : channel.Sectors) {
    for (int k = 0; k < perSector; ++k) encoderInput.ReadFrame(&frames[2 * k]);
    EncodeAudioSector(state, frames.data(), subheader, image.data());
  }

  std::int16_t frame[2];
  for (int i = 0; i < sectors * perSector; ++i) {
    sameInput.ReadFrame(frame);
    if (stereo) {
      channel.Left.push_back(frame[0]);
      channel.Right.push_back(frame[1]);
    } else {
      channel.Left.push_back((frame[0] + frame[1]) / 2);
    }
  }
  return channel;
}

}  // namespace sorvane::testing
