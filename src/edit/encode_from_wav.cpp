#include "edit/encode_from_wav.h"

#include <cstring>

namespace sorvane {
namespace {

void ReadStereoBlock(WavReader& reader, std::int16_t* left, std::int16_t* right) {
  std::int16_t frame[2];
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    reader.ReadFrame(frame);  // past the end it delivers silence, which is encoded as such
    left[k] = frame[0];
    right[k] = frame[1];
  }
}

void ReadMonoBlock(WavReader& reader, std::int16_t* mono) {
  std::int16_t frame[2];
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    reader.ReadFrame(frame);
    mono[k] = static_cast<std::int16_t>((frame[0] + frame[1]) / 2);
  }
}

}  // namespace

// Reading a group's frames before encoding them gives the units the same samples, in the
// same order, as reading each block just before its unit.
void EncodeStereoSector(EncoderState& state, WavReader& reader, std::uint8_t* groups) {
  std::int16_t left[4][kSamplesPerUnit];
  std::int16_t right[4][kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int j = 0; j < 4; ++j) ReadStereoBlock(reader, left[j], right[j]);
    EncodeStereoGroup(state, left, right, groups + g * kSoundGroupBytes);
  }
}

void EncodeMonoSector(EncoderState& state, WavReader& reader, std::uint8_t* groups) {
  std::int16_t mono[kUnitsPerGroup][kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int unit = 0; unit < kUnitsPerGroup; ++unit) ReadMonoBlock(reader, mono[unit]);
    EncodeMonoGroup(state, mono, groups + g * kSoundGroupBytes);
  }
}

void EncodeAudioSector(EncoderState& state, WavReader& reader, const std::uint8_t subheader[4],
                       std::uint8_t image[kSectorBytes]) {
  std::memcpy(image, subheader, 4);
  std::memcpy(image + 4, subheader, 4);
  if (subheader[3] & kCodingStereo) {
    EncodeStereoSector(state, reader, image + kGroupsOffset);
  } else {
    EncodeMonoSector(state, reader, image + kGroupsOffset);
  }
  std::memset(image + kSectorTailOffset, 0, kSectorBytes - kSectorTailOffset);
}

}  // namespace sorvane
