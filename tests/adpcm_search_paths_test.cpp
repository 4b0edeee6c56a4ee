// The AVX2 path of the high-quality unit search keeps, unit for unit, exactly what the
// scalar path keeps: the same parameter, nibbles, error and history after, over signals that
// reach every range, clip at full scale, tie, and start from arbitrary histories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "codec/adpcm_search.h"
#include "support/named_case.h"

namespace sorvane {
namespace {

using testing::PrintTo;

constexpr int kUnits = 1500;

// How the i-th sample of a case is made; `level` is the case's amplitude.
enum class Shape { Constant, Alternate, Square, Noise, ToneAndNoise, Walk, Impulses, Mixed };

struct PathCase {
  const char* Name;
  Shape Form;
  int Level;
  int Period;          // for Square and Impulses
  bool RandomHistory;  // each unit starts from a random 16-bit history instead
};

std::int16_t Clamp16(double v) {
  return static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

// Levels spread over the whole range, so that mixed units use every range and filter.
std::int16_t MixedSample(int i, std::mt19937& random) {
  const int levels[] = {0, 1, 7, 60, 900, 9000, 32768};
  const int level = levels[(i / kSamplesPerUnit) % 7];
  std::uniform_int_distribution<int> noise(-level, level);
  return Clamp16(0.5 * level * std::sin(i * 0.3) + noise(random) / 2.0);
}

std::vector<std::int16_t> MakeSamples(const PathCase& c, std::mt19937& random) {
  std::vector<std::int16_t> x(kUnits * kSamplesPerUnit);
  std::uniform_int_distribution<int> noise(-c.Level, c.Level);
  double walk = 0;
  for (int i = 0; i < int(x.size()); ++i) {
    switch (c.Form) {
      case Shape::Constant:
        x[i] = Clamp16(c.Level);
        break;
      case Shape::Alternate:
        x[i] = Clamp16(i % 2 ? c.Level : -c.Level - 1);
        break;
      case Shape::Square:
        x[i] = Clamp16((i / c.Period) % 2 ? c.Level : -c.Level - 1);
        break;
      case Shape::Noise:
        x[i] = Clamp16(noise(random));
        break;
      case Shape::ToneAndNoise:
        x[i] = Clamp16(c.Level * std::sin(i * 0.037) + noise(random) / 16.0);
        break;
      case Shape::Walk:
        walk = std::clamp(walk + noise(random) / 8.0, -32768.0, 32767.0);
        x[i] = Clamp16(walk);
        break;
      case Shape::Impulses:
        x[i] = Clamp16(i % c.Period == 0 ? c.Level : 0);
        break;
      case Shape::Mixed:
        x[i] = MixedSample(i, random);
        break;
    }
  }
  return x;
}

class SearchPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(SearchPaths, Avx2KeepsWhatScalarKeeps) {
  if (FastestTrialPath() != TrialPath::Avx2) GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(20261209);
  const std::vector<std::int16_t> x = MakeSamples(GetParam(), random);
  std::uniform_int_distribution<int> value(-32768, 32767);
  SearchHistory scalar, avx2;
  for (int unit = 0; unit < kUnits; ++unit) {
    if (GetParam().RandomHistory) scalar = avx2 = {value(random), value(random)};
    const std::int16_t* samples = &x[unit * kSamplesPerUnit];
    const SearchedUnit a = SearchUnit(samples, 1, scalar, TrialPath::Scalar);
    const SearchedUnit b = SearchUnit(samples, 1, avx2, TrialPath::Avx2);
    ASSERT_EQ(a.Parameter, b.Parameter) << "unit " << unit;
    ASSERT_EQ(a.SquaredError, b.SquaredError) << "unit " << unit;
    ASSERT_EQ(0, std::memcmp(a.Nibbles, b.Nibbles, kSamplesPerUnit)) << "unit " << unit;
    ASSERT_EQ(a.History.S1, b.History.S1) << "unit " << unit;
    ASSERT_EQ(a.History.S2, b.History.S2) << "unit " << unit;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SearchPaths,
    ::testing::Values(PathCase{"Silence", Shape::Constant, 0, 1, false},
                      PathCase{"SilenceFromRandomHistories", Shape::Constant, 0, 1, true},
                      PathCase{"FullScalePositive", Shape::Constant, 32767, 1, false},
                      PathCase{"FullScaleNegative", Shape::Constant, -32768, 1, false},
                      PathCase{"FullScaleAlternating", Shape::Alternate, 32767, 1, false},
                      PathCase{"FullScaleSquare3", Shape::Square, 32767, 3, false},
                      PathCase{"FullScaleSquare28", Shape::Square, 32767, 28, true},
                      PathCase{"QuietSquare57", Shape::Square, 3, 57, false},
                      PathCase{"MidSquare5", Shape::Square, 1000, 5, false},
                      PathCase{"NoiseTiny", Shape::Noise, 2, 1, false},
                      PathCase{"NoiseQuiet", Shape::Noise, 400, 1, false},
                      PathCase{"NoiseLoud", Shape::Noise, 12000, 1, false},
                      PathCase{"NoiseFullScale", Shape::Noise, 32768, 1, true},
                      PathCase{"ToneAndNoise", Shape::ToneAndNoise, 20000, 1, false},
                      PathCase{"ToneFromRandomHistories", Shape::ToneAndNoise, 30000, 1, true},
                      PathCase{"RandomWalk", Shape::Walk, 3000, 1, false},
                      PathCase{"Impulses", Shape::Impulses, 32767, 13, false},
                      PathCase{"MixedLevels", Shape::Mixed, 0, 1, false},
                      PathCase{"MixedFromRandomHistories", Shape::Mixed, 0, 1, true}));

}  // namespace
}  // namespace sorvane
