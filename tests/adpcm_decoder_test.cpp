#include "codec/adpcm_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "codec/adpcm_filters.h"
#include "support/sound_data.h"

namespace sorvane {
namespace {

using testing::SoundData;
using Block = std::array<std::uint8_t, kPcmBlockBytes>;

std::int16_t SampleAt(const Block& out, int index) {
  return static_cast<std::int16_t>(out[2 * index] | (out[2 * index + 1] << 8));
}

// ---- One unit: golden vectors (computed independently with arbitrary-precision integers).

struct UnitCase {
  const char* Name;
  int Unit;
  std::uint8_t Parameter;
  PredictorHistory Before;
  std::vector<int> Nibbles;  // from k = 0; one value means all 28
  std::vector<std::int32_t> FirstValues;
  PredictorHistory After;
};

// clang-format off
const UnitCase kUnitCases[] = {
    // 7 * 2^17 = 917504 -> 28672; -8 * 2^17 >> 5 = -32768 is limited to -32700.
    {"Nibble7Range0", 0, 0x00, {0, 0}, {7}, {28672, 28672}, {917504, 917504}},
    {"NibbleMinus8Range0", 0, 0x00, {0, 0}, {-8}, {-32700, -32700}, {-1048576, -1048576}},
    // -1 - (-1 >> 4) = 0: the history dies at once.
    {"Filter1AtMinusOne", 0, 0x10, {-1, 0}, {0}, {0, 0}, {0, 0}},
    // 1 - (1 >> 4) = 1, where (60 * 1) >> 6 would give 0.
    {"Filter1KeepsOne", 2, 0x10, {1, 5}, {0}, {0, 0}, {1, 1}},
    // (-115) >> 6 = -2: the shift rounds toward minus infinity.
    {"Filter2NegativeShift", 4, 0x20, {-1, 0}, {0}, {-1, -1}, {-29, -28}},
    // 115 * 2^30 + 52 * 2^30 wraps to -2^30 in 32 bits.
    {"Filter2Wraps", 6, 0x20, {1 << 30, -(1 << 30)}, {0}, {-32700, -32700, 32700}, {7985338, 30520221}},
    {"Filter2Extremes", 0, 0x28, {INT32_MAX, INT32_MIN}, {7, -8, 7, -8}, {32700, -32700}, {-20249088, 16756449}},
    {"Filter3Ramp", 0, 0x3C, {0, 0}, {1, 2, 3, 4, 5, 6, 7, 0}, {1, 3, 7, 12, 17, 22, 25, 20, 9}, {168, 146}},
    {"Filter3Range0", 1, 0x30, {0, 0}, {7}, {28672, 32700}, {2906199, 3090133}},
    {"FiltersAbove3PredictZero", 0, 0xFC, {1000, 1000}, {1}, {1, 1}, {32, 32}},
    // Ranges 14 and 15 scale by 2^3 and 2^2 in both nibbles of a byte.
    {"LowNibbleRange14", 2, 0x0E, {0, 0}, {-1}, {-1, -1}, {-8, -8}},
    {"HighNibbleRange14", 3, 0x0E, {0, 0}, {-1}, {-1, -1}, {-8, -8}},
    {"HighNibbleRange15", 5, 0x0F, {0, 0}, {7}, {0, 0}, {28, 28}},
    {"HighNibbleRange15Negative", 7, 0x0F, {0, 0}, {-8}, {-1, -1}, {-32, -32}},
};
// clang-format on

class UnitGolden : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitGolden, DecodesToKnownValuesAndHistory) {
  const UnitCase& c = GetParam();
  SoundData data;
  data.Parameter(0, c.Unit, c.Parameter >> 4, c.Parameter & 0x0F);
  if (c.Nibbles.size() == 1) {
    data.FillNibbles(0, c.Unit, c.Nibbles[0]);
  } else {
    for (std::size_t k = 0; k < c.Nibbles.size(); ++k) data.Nibble(0, c.Unit, int(k), c.Nibbles[k]);
  }
  PredictorHistory history = c.Before;
  std::int32_t values[kSamplesPerUnit];
  DecodeUnit(history, data.Group(0), c.Unit, values);
  for (std::size_t k = 0; k < c.FirstValues.size(); ++k)
    EXPECT_EQ(values[k], c.FirstValues[k]) << k;
  EXPECT_EQ(history.S1, c.After.S1);
  EXPECT_EQ(history.S2, c.After.S2);
}

INSTANTIATE_TEST_SUITE_P(Decoder, UnitGolden, ::testing::ValuesIn(kUnitCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(OutputStage, ShiftsAndLimitsTo32700) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{917504, 28672},
                                                         {-1048576, -32700},
                                                         {32700 * 32 + 31, 32700},
                                                         {32701 * 32, 32700},
                                                         {-32700 * 32, -32700},
                                                         {-32701 * 32, -32700},
                                                         {31, 0},
                                                         {-1, -1},
                                                         {-32, -1},
                                                         {-33, -2},
                                                         {INT32_MAX, 32700},
                                                         {INT32_MIN, -32700}};
  for (auto [x, y] : cases) EXPECT_EQ(OutputValue(x), y) << x;
}

// ---- The resampler.

std::vector<std::int16_t> Resample(DecoderState& state, const std::vector<std::int32_t>& values) {
  Block out{};
  ResampleValues(state, values.data(), int(values.size()), out.data());
  std::vector<std::int16_t> samples;
  for (int i = 0; i < state.OutputPosition; ++i) samples.push_back(SampleAt(out, i));
  return samples;
}

TEST(Resampler, TurnsSixValuesIntoSeven) {
  DecoderState state;
  EXPECT_EQ(Resample(state, {0, 6, 12, 18, 24, 30}),
            (std::vector<std::int16_t>{0, 5, 10, 15, 20, 25, 30}));
  EXPECT_EQ(state.Phase, 0);
  EXPECT_EQ(state.Previous, 30);
}

TEST(Resampler, DivisionTruncatesTowardZero) {
  DecoderState state;
  state.Phase = 1;
  state.Previous = 0;
  EXPECT_EQ(Resample(state, {-1}), (std::vector<std::int16_t>{0}));  // (0 - 5) / 6
  EXPECT_EQ(state.Phase, 2);
  EXPECT_EQ(state.Previous, -1);
}

TEST(Resampler, PhaseFiveWritesTwoSamples) {
  DecoderState state;
  state.Phase = 5;
  state.Previous = -601;
  EXPECT_EQ(Resample(state, {6}), (std::vector<std::int16_t>{-499, 6}));  // (-3005 + 6) / 6
  EXPECT_EQ(state.Phase, 0);
}

TEST(Resampler, StepTwoLeavesTheOtherSamplesAlone) {
  DecoderState state;
  state.OutputPosition = 1;
  state.Step = 2;
  Block out;
  out.fill(0xEE);
  const std::int32_t values[6] = {-6, -6, -6, -6, -6, -6};
  ResampleValues(state, values, 6, out.data());
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(SampleAt(out, 2 * i + 1), -6);
    EXPECT_EQ(out[4 * i], 0xEE);
  }
  EXPECT_EQ(state.OutputPosition, 15);
}

TEST(Resampler, FeedingInPiecesGivesTheSameSamples) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> value(-kOutputLimit, kOutputLimit);
  std::vector<std::int32_t> values(600);
  for (auto& v : values) v = value(random);
  DecoderState whole;
  const auto expected = Resample(whole, values);
  DecoderState pieces;
  Block out{};
  for (std::size_t at = 0, size = 1; at < values.size(); at += size, size = size % 13 + 1) {
    size = std::min(size, values.size() - at);
    ResampleValues(pieces, values.data() + at, int(size), out.data());
  }
  ASSERT_EQ(expected.size(), 700u);
  for (int i = 0; i < 700; ++i) ASSERT_EQ(SampleAt(out, i), expected[i]) << i;
}

// ---- Whole sectors: where each unit's values land in the PCM block.

struct PlacementCase {
  bool Stereo;
  int Group;
  int Unit;
};

// The copy of each unit's parameter byte that the decoder does not read.
constexpr int kUnreadParameterCopy[8] = {4, 5, 6, 7, 12, 9, 14, 11};

class UnitPlacement : public ::testing::TestWithParam<PlacementCase> {};

// A single value 6 at position r of a block of six shows as 6 - r and r + 1 in two
// neighbouring output samples; everything else stays 0.
TEST_P(UnitPlacement, OneValueLandsInTwoSamples) {
  const PlacementCase& c = GetParam();
  SoundData data;
  data.Parameter(c.Group, c.Unit, 0, 12).Nibble(c.Group, c.Unit, 0, 6);  // 6 * 2^5 -> 6
  data.Byte(c.Group, kUnreadParameterCopy[c.Unit], 0x0F);                // would scale 6 down to 0
  DecoderState state;
  Block out{};
  if (c.Stereo) {
    DecodeStereoSector(state, data.Groups(), out.data());
  } else {
    DecodeMonoSector(state, data.Groups(), out.data());
  }
  const int index = c.Stereo ? c.Group * 112 + (c.Unit / 2) * 28 : c.Group * 224 + c.Unit * 28;
  const int r = index % 6;
  const int at = index / 6 * 7 + r;
  const int step = c.Stereo ? 2 : 1;
  const int side = c.Stereo ? c.Unit % 2 : 0;
  for (int i = 0; i < kPcmBlockBytes / 2; ++i) {
    const int expected = i == at * step + side ? 6 - r : i == (at + 1) * step + side ? r + 1 : 0;
    ASSERT_EQ(SampleAt(out, i), expected) << "sample " << i;
  }
}

std::vector<PlacementCase> AllPlacements() {
  std::vector<PlacementCase> cases;
  for (bool stereo : {false, true})
    for (int group : {0, 5, 17})
      for (int unit = 0; unit < 8; ++unit) cases.push_back({stereo, group, unit});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Decoder, UnitPlacement, ::testing::ValuesIn(AllPlacements()),
                         [](const auto& info) {
                           return std::string(info.param.Stereo ? "Stereo" : "Mono") + "Group" +
                                  std::to_string(info.param.Group) + "Unit" +
                                  std::to_string(info.param.Unit);
                         });

// Values 1..6 (nibbles 1..6 at range 12, worth 2^5 each) and their negatives, through the
// output stage and the resampler; division truncates toward zero (-21 / 6 = -3).
TEST(SectorDecode, GoldenPcmOfASmallGroup) {
  SoundData data;
  data.Parameter(0, 0, 0, 12).Nibbles(0, 0, {1, 2, 3, 4, 5, 6});
  data.Parameter(0, 1, 0, 12).Nibbles(0, 1, {-1, -2, -3, -4, -5, -6});
  DecoderState state;
  Block out{};
  DecodeMonoSector(state, data.Groups(), out.data());
  const std::int16_t mono[] = {1, 1, 2, 3, 4, 5, 6, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(SampleAt(out, i), mono[i]) << i;
  // Unit 1 follows unit 0: its values -1, -2 are values 28 and 29, the end of block 4.
  EXPECT_EQ(SampleAt(out, 32), 0);   // (4 * 0 + 2 * -1) / 6
  EXPECT_EQ(SampleAt(out, 33), -1);  // (5 * -1 + -2) / 6
  EXPECT_EQ(SampleAt(out, 34), -2);
  EXPECT_EQ(SampleAt(out, 35), -3);
  DecodeStereoSector(state, data.Groups(), out.data());
  const std::int16_t frames[][2] = {{1, -1}, {1, -1}, {2, -2}, {3, -3}, {4, -4}, {5, -5}, {6, -6}};
  for (int f = 0; f < 7; ++f) {
    EXPECT_EQ(SampleAt(out, 2 * f), frames[f][0]) << f;
    EXPECT_EQ(SampleAt(out, 2 * f + 1), frames[f][1]) << f;
  }
}

TEST(SectorDecode, ZeroGroupsGiveSilenceAndClearTheHistory) {
  const SoundData zeros;
  for (bool stereo : {false, true}) {
    DecoderState state;
    state.Left = {123456, -99999};
    state.Right = {7, 8};
    state.Phase = 3;
    state.Previous = 1000;
    Block out;
    out.fill(0x55);
    if (stereo) {
      DecodeStereoSector(state, zeros.Groups(), out.data());
    } else {
      DecodeMonoSector(state, zeros.Groups(), out.data());
    }
    for (std::uint8_t byte : out) ASSERT_EQ(byte, 0);
    EXPECT_EQ(state.Left.S1, 0);
    EXPECT_EQ(state.Left.S2, 0);
    EXPECT_EQ(state.Right.S1, stereo ? 0 : 7);  // mono leaves the right history alone
    EXPECT_EQ(state.Phase, 0);
  }
}

TEST(SectorDecode, HistoryCarriesIntoTheNextSector) {
  SoundData loud;  // ends with 28 values of 7 * 2^17 in the last unit
  loud.FillNibbles(17, 7, 7);
  SoundData decaying;  // filter 1 everywhere, no new signal
  for (int g = 0; g < 18; ++g)
    for (int u = 0; u < 8; ++u) decaying.Parameter(g, u, 1, 0);
  DecoderState state;
  Block out{};
  DecodeMonoSector(state, loud.Groups(), out.data());
  EXPECT_EQ(state.Left.S1, 917504);
  DecodeStereoSector(state, decaying.Groups(), out.data());
  EXPECT_EQ(SampleAt(out, 0), 26880);  // (917504 - (917504 >> 4)) >> 5
  for (int i = 1; i < kPcmBlockBytes / 2; i += 2) ASSERT_EQ(SampleAt(out, i), 0);  // right side
  DecoderState fresh;
  DecodeStereoSector(fresh, decaying.Groups(), out.data());
  EXPECT_EQ(SampleAt(out, 0), 0);
}

// ---- Any bytes: a plain restatement of the rules, one value at a time, against the decoder.

class ReferenceDecoder {
 public:
  std::int64_t S1[2] = {0, 0};
  std::int64_t S2[2] = {0, 0};

  std::vector<std::int16_t> Decode(const std::uint8_t* groups, bool stereo) {
    std::vector<std::int16_t> out(kPcmBlockBytes / 2, 0);
    if (stereo) {
      Emit(Side(groups, {0, 2, 4, 6}, 0), out, 0, 2);
      Emit(Side(groups, {1, 3, 5, 7}, 1), out, 1, 2);
    } else {
      Emit(Side(groups, {0, 1, 2, 3, 4, 5, 6, 7}, 0), out, 0, 1);
    }
    return out;
  }

 private:
  static std::int64_t To32(std::int64_t v) {
    const std::int64_t m = ((v % 4294967296LL) + 4294967296LL) % 4294967296LL;
    return m >= 2147483648LL ? m - 4294967296LL : m;
  }
  static std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
  }
  static std::int64_t Prediction(int filter, std::int64_t s1, std::int64_t s2) {
    if (filter == 1) return To32(s1 - FloorDiv(s1, 16));
    if (filter == 2) return FloorDiv(To32(115 * s1 - 52 * s2), 64);
    if (filter == 3) return FloorDiv(To32(98 * s1 - 55 * s2), 64);
    return 0;
  }
  std::vector<std::int64_t> Side(const std::uint8_t* groups, std::vector<int> units, int h) {
    static constexpr int kParameterAt[8] = {0, 1, 2, 3, 8, 13, 10, 15};
    std::vector<std::int64_t> values;
    for (int g = 0; g < 18; ++g) {
      const std::uint8_t* group = groups + 128 * g;
      for (int u : units) {
        const int range = group[kParameterAt[u]] % 16;
        const int filter = group[kParameterAt[u]] / 16;
        for (int k = 0; k < 28; ++k) {
          const int raw = u % 2 ? group[16 + 4 * k + u / 2] / 16 : group[16 + 4 * k + u / 2] % 16;
          const std::int64_t n = raw >= 8 ? raw - 16 : raw;
          const std::int64_t x =
              To32(n * (std::int64_t{1} << (17 - range)) + Prediction(filter, S1[h], S2[h]));
          S2[h] = S1[h];
          S1[h] = x;
          values.push_back(std::clamp<std::int64_t>(FloorDiv(x, 32), -32700, 32700));
        }
      }
    }
    return values;
  }
  static void Emit(const std::vector<std::int64_t>& values, std::vector<std::int16_t>& out, int at,
                   int step) {
    int p = 0;
    std::int64_t v = 0;
    auto put = [&](std::int64_t y) { out[at] = std::int16_t(y), at += step; };
    for (std::int64_t y : values) {
      if (p == 0)
        put(y);
      else
        put((v * p + y * (6 - p)) / 6);
      if (p == 5) put(y);
      p = (p + 1) % 6;
      v = y;
    }
  }
};

TEST(SectorDecode, RandomBytesMatchTheRulesAndStayWithinTheLimit) {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> byte(0, 255);
  DecoderState state;
  ReferenceDecoder reference;
  state.Left = {INT32_MAX, INT32_MIN};
  reference.S1[0] = INT32_MAX;
  reference.S2[0] = INT32_MIN;
  int atLimit = 0;
  std::vector<std::uint8_t> groups(kSoundGroups * kSoundGroupBytes);
  for (int sector = 0; sector < 400; ++sector) {
    for (auto& b : groups) b = static_cast<std::uint8_t>(byte(random));
    const bool stereo = sector % 3 != 0;
    Block out{};
    if (stereo) {
      DecodeStereoSector(state, groups.data(), out.data());
    } else {
      DecodeMonoSector(state, groups.data(), out.data());
    }
    const auto expected = reference.Decode(groups.data(), stereo);
    for (int i = 0; i < kPcmBlockBytes / 2; ++i) {
      const std::int16_t sample = SampleAt(out, i);
      ASSERT_LE(std::abs(sample), kOutputLimit) << "sector " << sector << " sample " << i;
      ASSERT_EQ(sample, expected[i]) << "sector " << sector << " sample " << i;
      if (std::abs(sample) == kOutputLimit) ++atLimit;
    }
    EXPECT_EQ(state.Left.S1, reference.S1[0]);
    EXPECT_EQ(state.Right.S1, reference.S1[1]);
  }
  EXPECT_GT(atLimit, 0);  // random ranges and filters do drive the limiter
}

}  // namespace
}  // namespace sorvane
