// XA ADPCM encoder: 16-bit PCM into the 4-bit units of a sound group. Works at 8 times the
// 16-bit sample scale; histories are never clamped. Whole sectors from a WavReader are
// encoded in edit/encode_from_wav.h.
#pragma once

#include <cstdint>

#include "codec/adpcm_filters.h"

namespace sorvane {

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

// Encodes 28 samples with one filter (0..3), starting from a copy of `history`.
UnitResult EncodeUnit(int filter, const std::int16_t samples[kSamplesPerUnit],
                      const EncoderHistory& history);

// Tries filters 0..3 from `history`, keeps the first with the strictly smallest error sum,
// and moves `history` on to the kept result's history.
UnitResult ChooseUnit(const std::int16_t samples[kSamplesPerUnit], EncoderHistory& history);

// Writes one stereo sound group (128 bytes) to `group`: for j = 0..3, block j of each side
// becomes unit 2j (left, with state.Left) and unit 2j + 1 (right, with state.Right).
void EncodeStereoGroup(EncoderState& state, const std::int16_t left[4][kSamplesPerUnit],
                       const std::int16_t right[4][kSamplesPerUnit], std::uint8_t* group);
// Writes one mono sound group: block u becomes unit u, all with state.Right.
void EncodeMonoGroup(EncoderState& state, const std::int16_t mono[kUnitsPerGroup][kSamplesPerUnit],
                     std::uint8_t* group);

}  // namespace sorvane
