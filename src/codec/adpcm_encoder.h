// XA ADPCM encoder: 16-bit PCM frames into the 4-bit units of the sound groups of one audio
// sector at a time. Works at 8 times the 16-bit sample scale; histories are never clamped.
// Reads no file: the caller hands over each sector's frames.
#pragma once

#include <cstdint>

#include "codec/adpcm_filters.h"
#include "codec/adpcm_search.h"
#include "format/sector.h"

namespace sorvane {

// Two reconstructed values at the internal scale: S1 the latest, S2 the one before.
using EncoderHistory = PredictorHistory;

// Lives for the whole run and is never reset. The right history also serves mono sectors.
// HighQuality chooses the high-quality unit search (SearchUnit) with its own histories;
// Trials is how that search computes its trials, chosen once for this processor.
struct EncoderState {
  EncoderHistory Left;
  EncoderHistory Right;
  bool HighQuality = false;
  SearchHistory SearchLeft;
  SearchHistory SearchRight;
  TrialPath Trials = FastestTrialPath();
};

// One trial of one filter on one unit of 28 samples.
struct UnitResult {
  std::uint8_t Parameter = 0;             // filter x 16 + range, range = 15 - shift
  std::uint8_t Nibbles[kSamplesPerUnit];  // 0..15: the low 4 bits of -8..7
  std::int32_t ErrorSum = 0;              // sum of |reconstruction - input| at the internal scale
  EncoderHistory History;                 // after the unit
};

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

// `frames` holds left, right pairs: kStereoFramesPerSector (2016) of them for a stereo
// sector, kMonoFramesPerSector (4032) for a mono one.

// Encodes 2016 frames into 18 sound groups (2304 bytes) at `groups`.
void EncodeStereoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups);
// Encodes 4032 frames, each made mono as (left + right) / 2, into 18 sound groups.
void EncodeMonoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups);

// Builds a 2336-byte sector image: the 4-byte subheader twice, the 18 sound groups (stereo
// when the coding information has kCodingStereo, from 2016 frames; else from 4032) and 24
// zero bytes.
void EncodeAudioSector(EncoderState& state, const std::int16_t* frames,
                       const std::uint8_t subheader[4], std::uint8_t image[kSectorBytes]);

}  // namespace sorvane
