#include "codec/adpcm_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "codec/adpcm_unit_trial.h"
#include "support/named_case.h"

namespace sorvane {
namespace {

using testing::PrintTo;
using Samples = std::array<std::int16_t, kSamplesPerUnit>;

Samples Fill(const std::function<int(int)>& at) {
  Samples s{};
  for (int k = 0; k < kSamplesPerUnit; ++k) s[k] = static_cast<std::int16_t>(at(k));
  return s;
}

// --- golden units, each chosen over the four filters from the given history ---

struct GoldenUnit {
  const char* Name;
  Samples Input;
  EncoderHistory History;
  std::uint8_t Parameter;
  std::int32_t ErrorSum;
  std::vector<std::uint8_t> FirstNibbles;
};

const GoldenUnit kGolden[] = {
    // Quiet units take the smallest shift, 3: range 12, a step of one sample.
    {"Silence", Fill([](int) { return 0; }), {}, 0x0C, 0, std::vector<std::uint8_t>(28, 0)},
    // 1 x 8 = 8 at the internal scale: one step of 2^3.
    {"Ones", Fill([](int) { return 1; }), {}, 0x0C, 0, std::vector<std::uint8_t>(28, 1)},
    // The estimate exceeds 8 x 2^14 for every filter: shift 15 (range 0). Filter 3 follows
    // the plateau best: 262136 - (98 x 229376 >> 6) = -89096 quantises to -3 (nibble 13).
    {"FullScale", Fill([](int) { return 32767; }), {}, 0x30, 231244, {7, 13, 2, 3, 2, 3}},
    {"Ramp", Fill([](int k) { return 100 * k; }), {}, 0x28, 819, {0, 6, 2, 1, 1, 2}},
    // Silence after loud sound: filter 0 predicts 0 and reaches error 0 whatever the history.
    {"SilenceAfterSound",
     Fill([](int) { return 0; }),
     {123456, -98765},
     0x0C,
     0,
     std::vector<std::uint8_t>(28, 0)},
};

class EncoderGolden : public ::testing::TestWithParam<GoldenUnit> {};

TEST_P(EncoderGolden, ChoosesFilterParameterAndNibbles) {
  const GoldenUnit& g = GetParam();
  EncoderHistory history = g.History;
  UnitResult r = ChooseUnit(g.Input.data(), history);
  EXPECT_EQ(r.Parameter, g.Parameter);
  EXPECT_EQ(r.ErrorSum, g.ErrorSum);
  for (std::size_t k = 0; k < g.FirstNibbles.size(); ++k)
    EXPECT_EQ(r.Nibbles[k], g.FirstNibbles[k]) << k;
  EXPECT_EQ(history.S1, r.History.S1);
  EXPECT_EQ(history.S2, r.History.S2);
  // The kept result is the one its filter gives on its own.
  UnitResult alone = EncodeUnit(g.Parameter >> 4, g.Input.data(), g.History);
  EXPECT_EQ(alone.ErrorSum, r.ErrorSum);
}

INSTANTIATE_TEST_SUITE_P(Units, EncoderGolden, ::testing::ValuesIn(kGolden),
                         [](const auto& info) { return std::string(info.param.Name); });

// Only a strictly smaller error sum replaces the kept result.
struct Tie {
  const char* Name;
  Samples Input;
  EncoderHistory History;
  int TiedFilter;  // ties with the kept one
  int Kept;
};

const Tie kTies[] = {
    {"SilenceAllFour", Fill([](int) { return 0; }), {}, 3, 0},
    {"OnesFilters0And1", Fill([](int) { return 1; }), {}, 1, 0},
    {"Filters2And3", Fill([](int) { return -39; }), {-197, 0}, 3, 2},  // sums 224, 224, 105, 105
    {"Filters1And3", Fill([](int) { return -13; }), {-65, 78}, 3, 1},  // sums 224, 58, 95, 58
};

class EncoderTies : public ::testing::TestWithParam<Tie> {};

TEST_P(EncoderTies, KeepTheLowerFilter) {
  const Tie& t = GetParam();
  EXPECT_EQ(EncodeUnit(t.TiedFilter, t.Input.data(), t.History).ErrorSum,
            EncodeUnit(t.Kept, t.Input.data(), t.History).ErrorSum);
  EncoderHistory history = t.History;
  EXPECT_EQ(ChooseUnit(t.Input.data(), history).Parameter >> 4, t.Kept);
}

INSTANTIATE_TEST_SUITE_P(Units, EncoderTies, ::testing::ValuesIn(kTies),
                         [](const auto& info) { return std::string(info.param.Name); });

// A residual of exactly half a step rounds upward; just below half rounds down. Filter 1
// from history s1 predicts s1 - (s1 >> 4) for the first sample (5, i.e. 40 at the internal
// scale); the last sample (12) sets the shift to 3 (largest residual 58).
struct Rounding {
  const char* Name;
  std::int32_t S1;
  std::uint8_t FirstNibble;
};

const Rounding kRounding[] = {
    {"HalfUp", 29, 2},           // residual 40 - 28 = 12: (12 + 4) >> 3 = 2
    {"BelowHalf", 30, 1},        // residual 11: 1
    {"NegativeHalfUp", 55, 15},  // residual -12: (-12 + 4) >> 3 = -1
};

class EncoderRounding : public ::testing::TestWithParam<Rounding> {};

TEST_P(EncoderRounding, FirstResidual) {
  Samples s = Fill([](int k) { return k == kSamplesPerUnit - 1 ? 12 : 5; });
  UnitResult r = EncodeUnit(1, s.data(), {GetParam().S1, 0});
  EXPECT_EQ(r.Parameter, 0x1C);  // filter 1, shift 3
  EXPECT_EQ(r.Nibbles[0], GetParam().FirstNibble);
}

INSTANTIATE_TEST_SUITE_P(Units, EncoderRounding, ::testing::ValuesIn(kRounding),
                         [](const auto& info) { return std::string(info.param.Name); });

// Closed-loop residuals beyond the 4-bit range are limited to 7 or -8, never wrapped.
struct Limiting {
  const char* Name;
  int Filter;
  Samples Input;
  std::uint8_t Parameter;
  std::vector<std::uint8_t> FirstNibbles;
  std::int32_t ErrorSum;
};

const Limiting kLimiting[] = {
    // 120 fits shift 4 in the estimate, but (120 + 8) >> 4 = 8: limited to 7.
    {"RoundingPast7", 0, Fill([](int) { return 15; }), 0x0B, std::vector<std::uint8_t>(28, 7),
     28 * 8},
    // The second quantised value would be 8 before the limit.
    {"Filter2Past7",
     2,
     Fill([](int k) { return k == 0   ? -4000
                             : k == 1 ? -3500
                                      : 0; }),
     0x23,
     {8, 7, 7, 10},
     34360},
    // The second quantised value would be -9 before the limit.
    {"Filter2PastMinus8",
     2,
     Fill([](int k) { return k == 0   ? 900
                             : k == 1 ? -400
                                      : 0; }),
     0x24,
     {4, 8, 5, 15},
     11008},
    {"Filter3PastMinus8",
     3,
     Fill([](int k) { return k == 0   ? 1400
                             : k == 1 ? 2100
                                      : 0; }),
     0x34,
     {5, 1, 8, 6},
     9435},
};

class EncoderLimiting : public ::testing::TestWithParam<Limiting> {};

TEST_P(EncoderLimiting, KeepsTheNearestEnd) {
  const Limiting& c = GetParam();
  UnitResult r = EncodeUnit(c.Filter, c.Input.data(), {});
  EXPECT_EQ(r.Parameter, c.Parameter);
  for (std::size_t k = 0; k < c.FirstNibbles.size(); ++k)
    EXPECT_EQ(r.Nibbles[k], c.FirstNibbles[k]) << k;
  EXPECT_EQ(r.ErrorSum, c.ErrorSum);
}

INSTANTIATE_TEST_SUITE_P(Units, EncoderLimiting, ::testing::ValuesIn(kLimiting),
                         [](const auto& info) { return std::string(info.param.Name); });

// Decoding a unit's own nibbles at the encoder's scale must give back the history it reports
// and the error sum: the nibbles carry exactly the values the encoder reconstructed with.
TEST(EncoderUnit, NibblesReproduceTheReconstruction) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> amplitude(0, 15);
  for (int trial = 0; trial < 2000; ++trial) {
    int scale = 1 << amplitude(random);
    std::uniform_int_distribution<int> sample(-std::min(scale, 32768), std::min(scale, 32767));
    Samples s = Fill([&](int) { return sample(random); });
    EncoderHistory start{sample(random) * 8, sample(random) * 8};
    for (int filter = 0; filter < 4; ++filter) {
      UnitResult r = EncodeUnit(filter, s.data(), start);
      ASSERT_EQ(r.Parameter >> 4, filter);
      int shift = 15 - (r.Parameter & 15);
      ASSERT_GE(shift, 3);
      ASSERT_LE(shift, 15);
      std::int32_t s1 = start.S1, s2 = start.S2;
      std::int64_t error = 0;
      for (int k = 0; k < kSamplesPerUnit; ++k) {
        int q = r.Nibbles[k] >= 8 ? r.Nibbles[k] - 16 : r.Nibbles[k];
        std::int32_t v = q * (1 << shift) + Predict(filter, s1, s2);
        error += std::abs(v - s[k] * 8);
        s2 = s1;
        s1 = v;
      }
      ASSERT_EQ(s1, r.History.S1);
      ASSERT_EQ(s2, r.History.S2);
      ASSERT_EQ(error, r.ErrorSum);
    }
  }
}

TEST(EncoderUnit, ExtremeHistoriesStayDefined) {
  Samples s = Fill([](int k) { return k % 2 ? 32767 : -32768; });
  const std::int32_t extremes[] = {INT32_MIN, INT32_MAX, -1, 0};
  for (std::int32_t s1 : extremes) {
    for (std::int32_t s2 : extremes) {
      EncoderHistory history{s1, s2};
      UnitResult r = ChooseUnit(s.data(), history);
      EXPECT_LE(r.Parameter & 15, 12) << s1 << " " << s2;
    }
  }
}

}  // namespace
}  // namespace sorvane
