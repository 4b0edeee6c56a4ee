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

// The sides of a stereo sector: two independent chains, each with its own histories.
enum class Side : std::uint8_t { Left, Right };

// One side's histories: the plain encoder's and the high-quality search's.
struct SideHistories {
  EncoderHistory Plain;
  SearchHistory Search;
};

// Lives for the whole run and is never reset. The right side's histories also serve mono
// sectors. HighQuality chooses the high-quality unit search (SearchUnit); Trials is how that
// search computes its trials, chosen once for this processor. Threads that each encode one
// side touch only that side's histories.
struct EncoderState {
  SideHistories Left;
  SideHistories Right;
  bool HighQuality = false;
  TrialPath Trials = FastestTrialPath();

  SideHistories& Of(Side side) { return side == Side::Left ? Left : Right; }
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

// `frames` holds left, right pairs: kStereoFramesPerSector (2016) of them for a stereo
// sector, kMonoFramesPerSector (4032) for a mono one.

// Encodes one side of 2016 frames: sets its units' parameter bytes in the 18 sound groups
// at `groups` and ORs its nibbles into their sample words (left the low nibbles, right the
// high), so that the two sides can be encoded into zeroed copies and ORed together.
void EncodeStereoSide(EncoderState& state, Side side, const std::int16_t* frames,
                      std::uint8_t* groups);
// Encodes 2016 frames into 18 sound groups (2304 bytes) at `groups`.
void EncodeStereoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups);
// Encodes 4032 frames, each made mono as (left + right) / 2, into 18 sound groups.
void EncodeMonoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups);

// Starts a 2336-byte sector image: the 4-byte subheader twice, then zeros (the sound groups
// and the 24-byte tail).
void StartAudioSector(const std::uint8_t subheader[4], std::uint8_t image[kSectorBytes]);

// Builds a 2336-byte sector image: the 4-byte subheader twice, the 18 sound groups (stereo
// when the coding information has kCodingStereo, from 2016 frames; else from 4032) and 24
// zero bytes.
void EncodeAudioSector(EncoderState& state, const std::int16_t* frames,
                       const std::uint8_t subheader[4], std::uint8_t image[kSectorBytes]);

}  // namespace sorvane
