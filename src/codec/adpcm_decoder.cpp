#include "codec/adpcm_decoder.h"

#include <algorithm>
#include <limits>

#include "codec/adpcm_filters.h"

namespace sorvane {
namespace {

// Decoded values sit 5 fraction bits above the 16-bit scale, so a nibble of range r is
// worth 2^(17 - r) of them. The rule holds for every range and both nibbles of a byte.
constexpr int kScaleBase = 17;

int SignedNibble(unsigned bits) { return static_cast<int>((bits & 0x0F) ^ 0x08) - 8; }

// The 28 nibbles of one unit: byte `bytes[4k]` of word k, low or high half.
template <int Filter>
void RunUnit(PredictorHistory& history, const std::uint8_t* bytes, int nibbleShift,
             int scaleShift, std::int32_t* values) {
  std::int32_t s1 = history.S1;
  std::int32_t s2 = history.S2;
  const std::int64_t scale = std::int64_t{1} << scaleShift;
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const int nibble = SignedNibble(static_cast<unsigned>(bytes[4 * k]) >> nibbleShift);
    const std::int32_t x = Wrap32(nibble * scale + Predict(Filter, s1, s2));
    s2 = s1;
    s1 = x;
    values[k] = OutputValue(x);
  }
  history.S1 = s1;
  history.S2 = s2;
}

void WriteSample(std::uint8_t* out, std::int32_t position, std::int32_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  out[2 * position] = static_cast<std::uint8_t>(bits & 0xFF);
  out[2 * position + 1] = static_cast<std::uint8_t>(bits >> 8);
}

void StartResampler(DecoderState& state, std::int32_t position, std::int32_t step) {
  state.Phase = 0;
  state.OutputPosition = position;
  state.Step = step;
}

// One side of a stereo sector: units first, first+2, first+4, first+6 of every group.
void DecodeSide(DecoderState& state, PredictorHistory& history, const std::uint8_t* groups,
                int firstUnit, std::int32_t position, std::uint8_t* out) {
  std::int32_t values[kSideValuesPerSector];
  std::int32_t* next = values;
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int unit = firstUnit; unit < kUnitsPerGroup; unit += 2, next += kSamplesPerUnit)
      DecodeUnit(history, groups + g * kSoundGroupBytes, unit, next);
  }
  StartResampler(state, position, 2);
  ResampleValues(state, values, kSideValuesPerSector, out);
}

}  // namespace

void DecodeUnit(PredictorHistory& history, const std::uint8_t* group, int unit,
                std::int32_t* values) {
  const std::uint8_t parameter = group[kUnitParameterByte[unit]];
  const int scaleShift = kScaleBase - (parameter & 0x0F);
  const std::uint8_t* bytes = group + kSampleWordsOffset + unit / 2;
  const int nibbleShift = (unit & 1) ? 4 : 0;  // odd units hold the high nibbles
  switch (parameter >> 4) {
    case 1: RunUnit<1>(history, bytes, nibbleShift, scaleShift, values); break;
    case 2: RunUnit<2>(history, bytes, nibbleShift, scaleShift, values); break;
    case 3: RunUnit<3>(history, bytes, nibbleShift, scaleShift, values); break;
    default: RunUnit<0>(history, bytes, nibbleShift, scaleShift, values); break;
  }
}

void ResampleValues(DecoderState& state, const std::int32_t* values, int count,
                    std::uint8_t* out) {
  int p = state.Phase;
  std::int32_t v = state.Previous;
  std::int32_t at = state.OutputPosition;
  const std::int32_t step = state.Step;
  auto one = [&](std::int32_t y) {
    if (p == 0) {
      WriteSample(out, at, y);
    } else {
      WriteSample(out, at, static_cast<std::int32_t>((std::int64_t{v} * p + std::int64_t{y} * (6 - p)) / 6));
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

void DecodeMonoSector(DecoderState& state, const std::uint8_t* groups, std::uint8_t* out) {
  std::int32_t values[kMonoValuesPerSector];
  std::int32_t* next = values;
  for (int g = 0; g < kSoundGroups; ++g) {
    for (int unit = 0; unit < kUnitsPerGroup; ++unit, next += kSamplesPerUnit)
      DecodeUnit(state.Left, groups + g * kSoundGroupBytes, unit, next);
  }
  StartResampler(state, 0, 1);
  ResampleValues(state, values, kMonoValuesPerSector, out);
}

void DecodeStereoSector(DecoderState& state, const std::uint8_t* groups, std::uint8_t* out) {
  DecodeSide(state, state.Left, groups, 0, 0, out);
  DecodeSide(state, state.Right, groups, 1, 1, out);
}

void SelectDecodeChannel(DecodeCursor& cursor, const ChannelRecord& record) {
  cursor.Record = record;
  cursor.Current = record.FirstSector;
  cursor.End = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(RecordEnd(record), std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

int DecodeNextSector(XaFile& xa, DecodeCursor& cursor, DecoderState& state, std::uint8_t* out) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  for (int tried = 0; tried < kSearchSectors; ++tried) {
    if (cursor.Current >= cursor.End) return 2;
    const std::int32_t index = cursor.Current++;
    if (ReadSector(xa, index, sector, info) != 0) return -1;
    if (info.Kind != SectorAudio || info.Channel != cursor.Record.Channel) continue;
    // The sector's own flag decides: the block is 9408 bytes either way.
    if (info.Stereo) {
      DecodeStereoSector(state, sector + kGroupsOffset, out);
    } else {
      DecodeMonoSector(state, sector + kGroupsOffset, out);
    }
    return 0;
  }
  return 1;
}

}  // namespace sorvane
