// XA ADPCM encoder: 16-bit PCM from a WavReader into the 4-bit sound groups of one audio
// sector at a time. Works at 8 times the 16-bit sample scale; histories are never clamped.
#pragma once

#include <cstdint>

#include "codec/adpcm_filters.h"

namespace sorvane {

class WavReader;

// Two reconstructed values at the internal scale: S1 the latest, S2 the one before.
struct EncoderHistory {
  std::int32_t S1 = 0;
  std::int32_t S2 = 0;
};

// Lives for the whole run and is never reset. The right history also serves mono sectors.
struct EncoderState {
  EncoderHistory Left;
  EncoderHistory Right;
};

// One trial of one filter on one unit of 28 samples.
struct UnitResult {
  std::uint8_t Parameter = 0;             // filter x 16 + range, range = 15 - shift
  std::uint8_t Nibbles[kSamplesPerUnit];  // 0..15: the low 4 bits of -8..7
  std::int32_t ErrorSum = 0;              // sum of |reconstruction - input| at the internal scale
  EncoderHistory History;                 // after the unit
};

inline constexpr int kStereoFramesPerSector = 2016;
inline constexpr int kMonoFramesPerSector = 4032;
inline constexpr int kGroupAreaBytes = kSoundGroups * kSoundGroupBytes;  // 2304

// Encodes 28 samples with one filter (0..3), starting from a copy of `history`.
UnitResult EncodeUnit(int filter, const std::int16_t samples[kSamplesPerUnit],
                      const EncoderHistory& history);

// Tries filters 0..3 from `history`, keeps the first with the strictly smallest error sum,
// and moves `history` on to the kept result's history.
UnitResult ChooseUnit(const std::int16_t samples[kSamplesPerUnit], EncoderHistory& history);

// Reads 2016 frames and writes 18 sound groups (2304 bytes) to `groups`.
void EncodeStereoSector(EncoderState& state, WavReader& reader, std::uint8_t* groups);
// Reads 4032 frames, each made mono as (left + right) / 2, and writes 18 sound groups.
void EncodeMonoSector(EncoderState& state, WavReader& reader, std::uint8_t* groups);

// Builds a 2336-byte sector image: the 4-byte subheader twice, the 18 sound groups (stereo
// when bit 0 of the coding information is set) and 24 zero bytes.
void EncodeAudioSector(EncoderState& state, WavReader& reader, const std::uint8_t subheader[4],
                       std::uint8_t image[2336]);

}  // namespace sorvane
