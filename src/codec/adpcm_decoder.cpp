#include "codec/adpcm_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "codec/adpcm_filters.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

// Decoded values sit 5 fraction bits above the 16-bit scale, so a nibble of range r is
// worth 2^(17 - r) of them. The rule holds for every range and both nibbles of a byte.
constexpr int kScaleBase = 17;

constexpr int SignedNibble(unsigned bits) { return static_cast<int>((bits & 0x0F) ^ 0x08) - 8; }

// The scaled value of each nibble (0..15 as stored) at each range 0..15; at most 2^20 in size.
constexpr auto kScaledNibble = [] {
  std::array<std::array<std::int32_t, 16>, 16> table{};
  for (int range = 0; range < 16; ++range)
    for (unsigned bits = 0; bits < 16; ++bits)
      table[range][bits] = SignedNibble(bits) * (std::int32_t{1} << (kScaleBase - range));
  return table;
}();

// Filters 4..15 predict 0, like filter 0.
int FilterOf(std::uint8_t parameter) {
  const int filter = ParameterFilter(parameter);
  return filter < 4 ? filter : 0;
}

// The next decoded value from a scaled nibble and a history (s1 latest).
template <int Filter>
std::int32_t NextValue(std::int32_t& s1, std::int32_t& s2, std::int32_t scaled) {
  const std::int32_t x = Wrap32(std::int64_t{scaled} + Predict(Filter, s1, s2));
  s2 = s1;
  s1 = x;
  return x;
}

// The 28 nibbles of one unit: byte `bytes[4k]` of word k, low or high half.
template <int Filter, bool High>
void RunUnit(PredictorHistory& history, const std::uint8_t* bytes, const std::int32_t* scaled,
             std::int32_t* values) {
  std::int32_t s1 = history.S1;
  std::int32_t s2 = history.S2;
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const unsigned bits = High ? bytes[4 * k] >> 4 : bytes[4 * k] & 0x0F;
    values[k] = OutputValue(NextValue<Filter>(s1, s2, scaled[bits]));
  }
  history.S1 = s1;
  history.S2 = s2;
}

// A left unit (low nibbles) and the right unit in the high nibbles of the same bytes, in
// one loop: the two histories are independent, so their steps overlap in the processor.
template <int LeftFilter, int RightFilter>
void RunUnitPair(DecoderState& state, const std::uint8_t* bytes, const std::int32_t* leftScaled,
                 const std::int32_t* rightScaled, std::int32_t* left, std::int32_t* right) {
  std::int32_t l1 = state.Left.S1, l2 = state.Left.S2;
  std::int32_t r1 = state.Right.S1, r2 = state.Right.S2;
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const unsigned byte = bytes[4 * k];
    left[k] = OutputValue(NextValue<LeftFilter>(l1, l2, leftScaled[byte & 0x0F]));
    right[k] = OutputValue(NextValue<RightFilter>(r1, r2, rightScaled[byte >> 4]));
  }
  state.Left = {l1, l2};
  state.Right = {r1, r2};
}

using UnitRunner = void (*)(PredictorHistory&, const std::uint8_t*, const std::int32_t*,
                            std::int32_t*);
using PairRunner = void (*)(DecoderState&, const std::uint8_t*, const std::int32_t*,
                            const std::int32_t*, std::int32_t*, std::int32_t*);

// Indexed by filter * 2 + high half.
template <int... I>
constexpr std::array<UnitRunner, 8> UnitRunners(std::integer_sequence<int, I...>) {
  return {RunUnit<I / 2, I % 2 == 1>...};
}
constexpr auto kUnitRunners = UnitRunners(std::make_integer_sequence<int, 8>{});

// Indexed by left filter * 4 + right filter.
template <int... I>
constexpr std::array<PairRunner, 16> PairRunners(std::integer_sequence<int, I...>) {
  return {RunUnitPair<I / 4, I % 4>...};
}
constexpr auto kPairRunners = PairRunners(std::make_integer_sequence<int, 16>{});

void WriteSample(std::uint8_t* out, std::int32_t position, std::int32_t value) {
  PutLe16(out + 2 * position, static_cast<std::uint16_t>(value));
}

void StartResampler(DecoderState& state, std::int32_t position, std::int32_t step) {
  state.Phase = 0;
  state.OutputPosition = position;
  state.Step = step;
}

}  // namespace

void DecodeUnit(PredictorHistory& history, const std::uint8_t* group, int unit,
                std::int32_t* values) {
  const std::uint8_t parameter = group[kUnitParameterByte[unit]];
  const std::uint8_t* bytes = group + kSampleWordsOffset + unit / 2;
  kUnitRunners[FilterOf(parameter) * 2 + (unit & 1)](
      history, bytes, kScaledNibble[ParameterRange(parameter)].data(), values);
}

void ResampleValues(DecoderState& state, const std::int32_t* values, int count, std::uint8_t* out) {
  int p = state.Phase;
  std::int32_t v = state.Previous;
  std::int32_t at = state.OutputPosition;
  const std::int32_t step = state.Step;
  auto one = [&](std::int32_t y) {
    if (p == 0) {
      WriteSample(out, at, y);
    } else {
      WriteSample(out, at,
                  static_cast<std::int32_t>((std::int64_t{v} * p + std::int64_t{y} * (6 - p)) / 6));
      if (p == 5) WriteSample(out, at += step, y);
    }
    at += step;
    p = p == 5 ? 0 : p + 1;
    v = y;
  };
  int i = 0;
  for (; i < count && p != 0; ++i) one(values[i]);
  // From phase 0, six values give seven samples; this is the path every sector takes.
  for (; i + 6 <= count; i += 6) {
    const std::int32_t* y = values + i;
    WriteSample(out, at, y[0]);
    WriteSample(out, at + step, (y[0] + y[1] * 5) / 6);
    WriteSample(out, at + 2 * step, (y[1] * 2 + y[2] * 4) / 6);
    WriteSample(out, at + 3 * step, (y[2] * 3 + y[3] * 3) / 6);
    WriteSample(out, at + 4 * step, (y[3] * 4 + y[4] * 2) / 6);
    WriteSample(out, at + 5 * step, (y[4] * 5 + y[5]) / 6);
    WriteSample(out, at + 6 * step, y[5]);
    at += 7 * step;
    v = y[5];
  }
  for (; i < count; ++i) one(values[i]);
  state.Phase = p;
  state.Previous = v;
  state.OutputPosition = at;
}

namespace {

void DecodeMonoValues(DecoderState& state, const std::uint8_t* groups, std::int32_t* values) {
  std::int32_t* next = values;
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int unit = 0; unit < kUnitsPerGroup; ++unit, next += kSamplesPerUnit)
      DecodeUnit(state.Left, groups + g * kSoundGroupBytes, unit, next);
  }
}

void DecodeStereoValues(DecoderState& state, const std::uint8_t* groups, std::int32_t* left,
                        std::int32_t* right) {
  int at = 0;
  for (int g = 0; g < kSoundGroups; ++g) {
    const std::uint8_t* group = groups + g * kSoundGroupBytes;
    for (int j = 0; j < 4; ++j, at += kSamplesPerUnit) {  // units 2j (left) and 2j + 1 (right)
      const std::uint8_t leftParameter = group[kUnitParameterByte[2 * j]];
      const std::uint8_t rightParameter = group[kUnitParameterByte[2 * j + 1]];
      kPairRunners[FilterOf(leftParameter) * 4 + FilterOf(rightParameter)](
          state, group + kSampleWordsOffset + j,
          kScaledNibble[ParameterRange(leftParameter)].data(),
          kScaledNibble[ParameterRange(rightParameter)].data(), left + at, right + at);
    }
  }
}

void ResampleMono(DecoderState& state, const std::int32_t* values, std::uint8_t* out) {
  StartResampler(state, 0, 1);
  ResampleValues(state, values, kMonoFramesPerSector, out);
}

void ResampleStereo(DecoderState& state, const std::int32_t* left, const std::int32_t* right,
                    std::uint8_t* out) {
  StartResampler(state, 0, 2);
  ResampleValues(state, left, kStereoFramesPerSector, out);
  StartResampler(state, 1, 2);
  ResampleValues(state, right, kStereoFramesPerSector, out);
}

}  // namespace

void DecodeMonoSector(DecoderState& state, const std::uint8_t* groups, std::uint8_t* out) {
  std::int32_t values[kMonoFramesPerSector];
  DecodeMonoValues(state, groups, values);
  ResampleMono(state, values, out);
}

void DecodeStereoSector(DecoderState& state, const std::uint8_t* groups, std::uint8_t* out) {
  std::int32_t left[kStereoFramesPerSector];
  std::int32_t right[kStereoFramesPerSector];
  DecodeStereoValues(state, groups, left, right);
  ResampleStereo(state, left, right, out);
}

void DecodeSectorValues(DecoderState& state, const std::uint8_t* groups, bool stereo,
                        SectorValues& values) {
  values.Stereo = stereo;
  if (stereo) {
    DecodeStereoValues(state, groups, values.Left, values.Right);
  } else {
    DecodeMonoValues(state, groups, values.Left);
  }
}

void ResampleSector(DecoderState& state, const SectorValues& values, std::uint8_t* out) {
  if (values.Stereo) {
    ResampleStereo(state, values.Left, values.Right, out);
  } else {
    ResampleMono(state, values.Left, out);
  }
}

int DecodeSectorSide(DecoderState& state, const std::uint8_t* groups, bool stereo, int side,
                     std::int32_t* values) {
  int at = 0;
  for (int g = 0; g < kSoundGroups; ++g) {
    const std::uint8_t* group = groups + g * kSoundGroupBytes;
    for (int unit = 0; unit < kUnitsPerGroup; ++unit) {
      if (stereo && (unit & 1) != side) continue;
      DecodeUnit(stereo && side == 1 ? state.Right : state.Left, group, unit, values + at);
      at += kSamplesPerUnit;
    }
  }
  return at;
}

}  // namespace sorvane
