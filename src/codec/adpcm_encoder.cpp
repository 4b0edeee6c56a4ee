#include "codec/adpcm_encoder.h"

#include <algorithm>
#include <cstring>

#include "codec/adpcm_unit_trial.h"

namespace sorvane {
namespace {

constexpr int kScaleBits = 3;  // the internal scale: 8 times the 16-bit sample
// Shifts 3 to 15 give the ranges 12 to 0, which every decoder reads alike: the console plays
// ranges 13 to 15 as range 9, sixteen times too loud. Shift 15 (range 0) takes the loudest
// units that no smaller shift fits.
constexpr int kSmallestShift = 3;
constexpr int kLargestShift = 15;

// |v| of a signed 32-bit value, defined for INT32_MIN as well.
std::int64_t Magnitude(std::int32_t v) { return v < 0 ? -std::int64_t{v} : std::int64_t{v}; }

// The smallest shift at which the residuals of predicting the input from the input itself
// (the history for the first two) fit 4 bits, or the largest shift when none does.
template <int Filter>
int EstimateShift(const std::int32_t* x8, const EncoderHistory& history) {
  std::int32_t a = history.S1;
  std::int32_t b = history.S2;
  std::int64_t largest = 0;
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    std::int32_t r = Wrap32(std::int64_t{x8[k]} - Predict(Filter, a, b));
    largest = std::max(largest, Magnitude(r));
    b = a;
    a = x8[k];
  }
  for (int shift = kSmallestShift; shift < kLargestShift; ++shift) {
    if ((largest >> shift) < 8) return shift;
  }
  return kLargestShift;
}

// One filter's closed-loop quantisation against the encoder's own reconstruction, a sample
// at a time; halves round upward and the quantised value is limited to -8..7, never wrapped.
struct Trial {
  int Shift = 0;
  std::int64_t Half = 0;
  std::int32_t S1 = 0;
  std::int32_t S2 = 0;
  std::int32_t Error = 0;
  std::uint8_t Nibbles[kSamplesPerUnit];
};

template <int Filter>
void StartTrial(Trial& t, const std::int32_t* x8, const EncoderHistory& history) {
  t.Shift = EstimateShift<Filter>(x8, history);
  t.Half = std::int64_t{1} << (t.Shift - 1);
  t.S1 = history.S1;
  t.S2 = history.S2;
  t.Error = 0;
}

template <int Filter>
inline void QuantiseSample(Trial& t, int k, std::int32_t x) {
  std::int32_t p = Predict(Filter, t.S1, t.S2);
  std::int32_t q = std::clamp(Wrap32(std::int64_t{x} - p + t.Half) >> t.Shift, -8, 7);
  t.Nibbles[k] = static_cast<std::uint8_t>(q & 15);
  std::int32_t v = Wrap32(std::int64_t{q} * (std::int64_t{1} << t.Shift) + p);
  t.Error = Wrap32(std::int64_t{t.Error} + Magnitude(Wrap32(std::int64_t{v} - x)));
  t.S2 = t.S1;
  t.S1 = v;
}

UnitResult Finish(const Trial& t, int filter) {
  UnitResult result;
  result.Parameter = MakeParameter(filter, 15 - t.Shift);
  std::memcpy(result.Nibbles, t.Nibbles, sizeof result.Nibbles);
  result.ErrorSum = t.Error;
  result.History = {t.S1, t.S2};
  return result;
}

template <int Filter>
UnitResult EncodeWith(const std::int32_t* x8, const EncoderHistory& history) {
  Trial t;
  StartTrial<Filter>(t, x8, history);
  for (int k = 0; k < kSamplesPerUnit; ++k) QuantiseSample<Filter>(t, k, x8[k]);
  return Finish(t, Filter);
}

void ToInternalScale(const std::int16_t* samples, std::int32_t* x8) {
  for (int k = 0; k < kSamplesPerUnit; ++k) x8[k] = std::int32_t{samples[k]} * (1 << kScaleBits);
}

// Even units take the low nibbles of byte unit / 2 of each sample word (clearing the high
// ones); odd units then fill the high nibbles of the same bytes.
template <typename Unit>
void PutUnit(const Unit& unit, int index, std::uint8_t* group) {
  group[ParameterByte(index)] = unit.Parameter;
  group[ParameterByte(index) + kParameterCopyOffset] = unit.Parameter;
  std::uint8_t* column = group + kSampleWordsOffset + index / 2;
  if (index % 2 == 0) {
    for (int k = 0; k < kSamplesPerUnit; ++k) column[4 * k] = unit.Nibbles[k];
  } else {
    for (int k = 0; k < kSamplesPerUnit; ++k) {
      column[4 * k] = static_cast<std::uint8_t>(column[4 * k] | (unit.Nibbles[k] << 4));
    }
  }
}

// The next 28 frames (left, right pairs) split into their two sides.
const std::int16_t* SplitBlock(const std::int16_t* frames, std::int16_t* left,
                               std::int16_t* right) {
  for (int k = 0; k < kSamplesPerUnit; ++k, frames += 2) {
    left[k] = frames[0];
    right[k] = frames[1];
  }
  return frames;
}

// The next 28 frames made mono as (left + right) / 2.
const std::int16_t* MixBlock(const std::int16_t* frames, std::int16_t* mono) {
  for (int k = 0; k < kSamplesPerUnit; ++k, frames += 2)
    mono[k] = static_cast<std::int16_t>((frames[0] + frames[1]) / 2);
  return frames;
}

}  // namespace

UnitResult EncodeUnit(int filter, const std::int16_t samples[kSamplesPerUnit],
                      const EncoderHistory& history) {
  std::int32_t x8[kSamplesPerUnit];
  ToInternalScale(samples, x8);
  switch (filter) {
    case 1:
      return EncodeWith<1>(x8, history);
    case 2:
      return EncodeWith<2>(x8, history);
    case 3:
      return EncodeWith<3>(x8, history);
    default:
      return EncodeWith<0>(x8, history);
  }
}

// The four trials advance side by side: their closed loops are independent chains of
// dependent arithmetic, which the processor can then overlap.
UnitResult ChooseUnit(const std::int16_t samples[kSamplesPerUnit], EncoderHistory& history) {
  std::int32_t x8[kSamplesPerUnit];
  ToInternalScale(samples, x8);
  Trial trials[4];
  StartTrial<0>(trials[0], x8, history);
  StartTrial<1>(trials[1], x8, history);
  StartTrial<2>(trials[2], x8, history);
  StartTrial<3>(trials[3], x8, history);
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    QuantiseSample<0>(trials[0], k, x8[k]);
    QuantiseSample<1>(trials[1], k, x8[k]);
    QuantiseSample<2>(trials[2], k, x8[k]);
    QuantiseSample<3>(trials[3], k, x8[k]);
  }
  int kept = 0;
  for (int filter = 1; filter < 4; ++filter) {
    if (trials[filter].Error < trials[kept].Error) kept = filter;
  }
  history = {trials[kept].S1, trials[kept].S2};
  return Finish(trials[kept], kept);
}

void EncodeStereoGroup(EncoderState& state, const std::int16_t left[4][kSamplesPerUnit],
                       const std::int16_t right[4][kSamplesPerUnit], std::uint8_t* group) {
  for (int j = 0; j < 4; ++j) {
    if (state.HighQuality) {
      PutUnit(SearchUnit(left[j], 1, state.SearchLeft, state.Trials), 2 * j, group);
      PutUnit(SearchUnit(right[j], 1, state.SearchRight, state.Trials), 2 * j + 1, group);
    } else {
      PutUnit(ChooseUnit(left[j], state.Left), 2 * j, group);
      PutUnit(ChooseUnit(right[j], state.Right), 2 * j + 1, group);
    }
  }
}

void EncodeMonoGroup(EncoderState& state, const std::int16_t mono[kUnitsPerGroup][kSamplesPerUnit],
                     std::uint8_t* group) {
  for (int unit = 0; unit < kUnitsPerGroup; ++unit) {
    if (state.HighQuality) {
      PutUnit(SearchUnit(mono[unit], 1, state.SearchRight, state.Trials), unit, group);
    } else {
      PutUnit(ChooseUnit(mono[unit], state.Right), unit, group);
    }
  }
}

void EncodeStereoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups) {
  std::int16_t left[4][kSamplesPerUnit];
  std::int16_t right[4][kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int j = 0; j < 4; ++j) frames = SplitBlock(frames, left[j], right[j]);
    EncodeStereoGroup(state, left, right, groups + g * kSoundGroupBytes);
  }
}

void EncodeMonoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups) {
  std::int16_t mono[kUnitsPerGroup][kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int unit = 0; unit < kUnitsPerGroup; ++unit) frames = MixBlock(frames, mono[unit]);
    EncodeMonoGroup(state, mono, groups + g * kSoundGroupBytes);
  }
}

void EncodeAudioSector(EncoderState& state, const std::int16_t* frames,
                       const std::uint8_t subheader[4], std::uint8_t image[kSectorBytes]) {
  std::memcpy(image, subheader, 4);
  std::memcpy(image + 4, subheader, 4);
  if (subheader[3] & kCodingStereo) {
    EncodeStereoSector(state, frames, image + kGroupsOffset);
  } else {
    EncodeMonoSector(state, frames, image + kGroupsOffset);
  }
  std::memset(image + kSectorTailOffset, 0, kSectorBytes - kSectorTailOffset);
}

}  // namespace sorvane
