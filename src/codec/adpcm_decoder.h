// XA ADPCM decoding: turns the sound groups of one audio sector into a 9408-byte block of
// 16-bit little-endian PCM at 7/6 of the channel's rate (37.8 kHz -> 44100 Hz, 18.9 kHz ->
// 22050 Hz). Integer-only, no allocation, defined for every byte pattern. The walk over a
// channel's sectors (DecodeNextSector) is in edit/decode_walk.h.
#pragma once

#include <cstdint>

#include "codec/adpcm_filters.h"
#include "format/sector.h"

namespace sorvane {

inline constexpr std::int32_t kOutputLimit = 32700;

// One per run. The histories hold decoded values at 32 times the 16-bit scale, never
// clamped, and carry over between units, sectors, channels and passes:
// nothing resets them.
struct DecoderState {
  PredictorHistory Left;   // mono channels and the left side of stereo channels
  PredictorHistory Right;  // the right side of stereo channels
  // The 6-to-7 resampler.
  int Phase = 0;                    // 0..5
  std::int32_t Previous = 0;        // the previous value v, at the 16-bit scale
  std::int32_t OutputPosition = 0;  // next sample written, counted in 16-bit samples of the block
  std::int32_t Step = 1;            // samples between writes: 1 mono, 2 stereo
};

// Decode the 18 sound groups at `groups` (2304 bytes) into one 9408-byte block.
void DecodeMonoSector(DecoderState& state, const std::uint8_t* groups, std::uint8_t* out);
void DecodeStereoSector(DecoderState& state, const std::uint8_t* groups, std::uint8_t* out);

// The two halves of the sector decoders, so that they can run on two threads: the values of
// the units (only the histories of `state` change), then their 6-to-7 resampling into the
// block (only the resampler's fields change). Each sector's resampling starts afresh, so the
// second half may keep a state of its own and the block is the same.
struct SectorValues {
  bool Stereo = false;
  std::int32_t Left[kMonoFramesPerSector];     // mono: every value; stereo: the first half
  std::int32_t Right[kStereoFramesPerSector];  // stereo only
};
void DecodeSectorValues(DecoderState& state, const std::uint8_t* groups, bool stereo,
                        SectorValues& values);
void ResampleSector(DecoderState& state, const SectorValues& values, std::uint8_t* out);

// One side of a sector's values, for work that splits the sides over two threads: a stereo
// sector's units of `side` (0: units 0, 2, 4, 6 with state.Left; 1: the odd ones with
// state.Right), a mono sector's every unit with state.Left whatever `side`. Writes the values
// in the order DecodeSectorValues gives them and returns their count (2016 or 4032).
int DecodeSectorSide(DecoderState& state, const std::uint8_t* groups, bool stereo, int side,
                     std::int32_t* values);

// Building blocks of the ones above.

// Decodes unit 0..7 of a 128-byte sound group with `history` into 28 output values
// (the output stage applied: 16-bit scale, limited to +-kOutputLimit).
void DecodeUnit(PredictorHistory& history, const std::uint8_t* group, int unit,
                std::int32_t* values);

// x >> 5 limited to +-kOutputLimit.
inline std::int32_t OutputValue(std::int32_t x) {
  const std::int32_t y = x >> 5;
  return y > kOutputLimit ? kOutputLimit : y < -kOutputLimit ? -kOutputLimit : y;
}

// Feeds `count` output values (each within +-kOutputLimit) through the resampler, writing
// 7 samples for every 6 values at state.OutputPosition in steps of state.Step (little-endian
// 16-bit samples of `out`). Division truncates toward zero.
void ResampleValues(DecoderState& state, const std::int32_t* values, int count, std::uint8_t* out);

}  // namespace sorvane
