// The high-quality unit search: what it writes must decode, on the console's decoder, to the
// error it reports, and no single filter and range may do better than what it keeps.
#include "codec/adpcm_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace sorvane {
namespace {

// The console's decoder over one unit's nibbles, from `history`; the squared error against x.
std::int64_t DecodeError(const std::uint8_t* nibbles, std::uint8_t parameter, const std::int16_t* x,
                         SearchHistory& history) {
  std::int64_t error = 0;
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const int q = (nibbles[k] ^ 8) - 8;
    const std::int64_t d = x[k] - ConsoleDecode(q, parameter >> 4, parameter & 15, history);
    error += d * d;
  }
  return error;
}

// The console's prediction, in 64ths of the two previous values, before it is clipped.
std::int32_t Prediction(int filter, const SearchHistory& h) {
  constexpr int kWeight1[4] = {0, 60, 115, 98};
  constexpr int kWeight2[4] = {0, 0, -52, -55};
  return (h.S1 * kWeight1[filter] + h.S2 * kWeight2[filter] + 32) >> 6;
}

// The least error of any single filter and range with each nibble rounded to the nearest.
std::int64_t BestSingleChoice(const std::int16_t* x, const SearchHistory& start) {
  std::int64_t best = INT64_MAX;
  for (int filter = 0; filter < 4; ++filter) {
    for (int range = 0; range <= 12; ++range) {
      SearchHistory h = start;
      std::int64_t error = 0;
      for (int k = 0; k < kSamplesPerUnit; ++k) {
        const std::int32_t p = Prediction(filter, h);
        const int step = 1 << (12 - range);
        const int q = std::clamp(int(std::floor((x[k] - p) / double(step) + 0.5)), -8, 7);
        const std::int64_t d = x[k] - ConsoleDecode(q, filter, range, h);
        error += d * d;
      }
      best = std::min(best, error);
    }
  }
  return best;
}

struct Loudness {
  int Scale;
  int Offset;
};

class SearchTest : public ::testing::TestWithParam<Loudness> {};

TEST_P(SearchTest, KeptUnitDecodesToItsErrorAndBeatsEverySingleChoice) {
  std::mt19937 random(20261209 + GetParam().Scale);
  std::uniform_int_distribution<int> noise(-GetParam().Scale, GetParam().Scale);
  SearchHistory history;
  for (int unit = 0; unit < 300; ++unit) {
    std::int16_t x[kSamplesPerUnit];
    for (int k = 0; k < kSamplesPerUnit; ++k) {
      const double tone = std::sin((unit * kSamplesPerUnit + k) * 0.05) * GetParam().Scale;
      x[k] = std::int16_t(
          std::clamp(int(tone) + noise(random) / 4 + GetParam().Offset, -32768, 32767));
    }
    const SearchHistory start = history;
    const SearchedUnit kept = SearchUnit(x, 1, history);
    ASSERT_LE(kept.Parameter & 15, 12);
    ASSERT_LE(kept.Parameter >> 4, 3);
    SearchHistory replay = start;
    ASSERT_EQ(DecodeError(kept.Nibbles, kept.Parameter, x, replay), kept.SquaredError) << unit;
    ASSERT_EQ(replay.S1, history.S1);
    ASSERT_EQ(replay.S2, history.S2);
    ASSERT_LE(kept.SquaredError, BestSingleChoice(x, start)) << unit;
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, SearchTest,
                         ::testing::Values(Loudness{0, 0}, Loudness{3, 0}, Loudness{400, 0},
                                           Loudness{12000, 0}, Loudness{32767, 0},
                                           Loudness{30000, 20000}));

// Silence from silence: range 12 (the smallest step), nothing to correct.
TEST(Search, SilenceTakesTheSmallestStep) {
  const std::int16_t zero[kSamplesPerUnit] = {};
  SearchHistory history;
  const SearchedUnit kept = SearchUnit(zero, 1, history);
  EXPECT_EQ(kept.Parameter, 0x0C);
  EXPECT_EQ(kept.SquaredError, 0);
}

// Stride 2 reads one side of interleaved frames.
TEST(Search, StrideReadsOneSide) {
  std::int16_t frames[2 * kSamplesPerUnit], left[kSamplesPerUnit];
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    left[k] = std::int16_t(k * 300 - 4000);
    frames[2 * k] = left[k];
    frames[2 * k + 1] = std::int16_t(-k * 900);
  }
  SearchHistory a, b;
  EXPECT_EQ(SearchUnit(frames, 2, a).SquaredError, SearchUnit(left, 1, b).SquaredError);
}

}  // namespace
}  // namespace sorvane
