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

// Unit `index` sets its two parameter bytes and ORs its nibbles into the sample words: even
// units into the low nibbles of byte index / 2 of each word, odd units into the high ones.
template <typename Unit>
void PutUnit(const Unit& unit, int index, std::uint8_t* group) {
  group[ParameterByte(index)] = unit.Parameter;
  group[ParameterByte(index) + kParameterCopyOffset] = unit.Parameter;
  std::uint8_t* column = group + kSampleWordsOffset + index / 2;
  const int at = 4 * (index % 2);
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    column[4 * k] = static_cast<std::uint8_t>(column[4 * k] | (unit.Nibbles[k] << at));
  }
}

// One unit of 28 samples at `samples` (the k-th at samples[k * stride]), by the encoder the
// state chooses, from `side`'s histories.
void EncodeBlock(EncoderState& state, SideHistories& side, const std::int16_t* samples, int stride,
                 int index, std::uint8_t* group) {
  if (state.HighQuality) {
    PutUnit(SearchUnit(samples, stride, side.Search, state.Trials), index, group);
    return;
  }
  std::int16_t block[kSamplesPerUnit];
  for (int k = 0; k < kSamplesPerUnit; ++k) block[k] = samples[k * stride];
  PutUnit(ChooseUnit(block, side.Plain), index, group);
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

// Block j of a group's 4 x 28 frames becomes unit 2j of the left side, 2j + 1 of the right.
void EncodeStereoSide(EncoderState& state, Side side, const std::int16_t* frames,
                      std::uint8_t* groups) {
  const int offset = side == Side::Left ? 0 : 1;
  SideHistories& histories = state.Of(side);
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int j = 0; j < 4; ++j, frames += 2 * kSamplesPerUnit) {
      EncodeBlock(state, histories, frames + offset, 2, 2 * j + offset,
                  groups + g * kSoundGroupBytes);
    }
  }
}

void EncodeStereoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups) {
  std::memset(groups, 0, kSoundGroups * kSoundGroupBytes);
  EncodeStereoSide(state, Side::Left, frames, groups);
  EncodeStereoSide(state, Side::Right, frames, groups);
}

// Block u of a group's 8 x 28 frames becomes unit u, all with the right side's histories.
void EncodeMonoSector(EncoderState& state, const std::int16_t* frames, std::uint8_t* groups) {
  std::memset(groups, 0, kSoundGroups * kSoundGroupBytes);
  std::int16_t mono[kSamplesPerUnit];
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int unit = 0; unit < kUnitsPerGroup; ++unit) {
      frames = MixBlock(frames, mono);
      EncodeBlock(state, state.Right, mono, 1, unit, groups + g * kSoundGroupBytes);
    }
  }
}

void StartAudioSector(const std::uint8_t subheader[4], std::uint8_t image[kSectorBytes]) {
  std::memcpy(image, subheader, 4);
  std::memcpy(image + 4, subheader, 4);
  std::memset(image + kGroupsOffset, 0, kSectorBytes - kGroupsOffset);
}

void EncodeAudioSector(EncoderState& state, const std::int16_t* frames,
                       const std::uint8_t subheader[4], std::uint8_t image[kSectorBytes]) {
  StartAudioSector(subheader, image);
  if (subheader[3] & kCodingStereo) {
    EncodeStereoSector(state, frames, image + kGroupsOffset);
  } else {
    EncodeMonoSector(state, frames, image + kGroupsOffset);
  }
}

}  // namespace sorvane
