// The first stage of the high-quality unit search: every filter 0..3 with every shift 0..12
// in closed loop against the console's decoder, each sample rounded to the nearest nibble,
// and the two least errors kept. The trials run one after another, or all at once in the
// lanes of AVX2 registers where the processor has them; both keep the same two.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "codec/adpcm_search.h"

namespace sorvane {

// The console's filter weights, in 64ths of the two previous values.
inline constexpr int kWeight1[4] = {0, 60, 115, 98};
inline constexpr int kWeight2[4] = {0, 0, -52, -55};
inline constexpr int kHighestShift = 12;  // range 0; range = 12 - shift
inline constexpr int kShifts = kHighestShift + 1;
inline constexpr int kTrials = 4 * kShifts;  // in order: filter by filter, shift ascending
inline constexpr int kRanked = 2;            // the trials kept for the refinement
inline constexpr std::int64_t kNoError = std::numeric_limits<std::int64_t>::max();

inline std::int32_t Clip16(std::int32_t v) { return std::clamp(v, -32768, 32767); }

struct TrialChoice {
  std::int64_t Error = kNoError;
  int Filter = 0;
  int Shift = 0;
};

// Keeps `c` among the kRanked least errors, in order; of equal errors the one ranked first
// stays first, so that the smaller step of the same filter, and the lower filter, win ties.
inline void Rank(TrialChoice (&best)[kRanked], const TrialChoice& c) {
  if (c.Error >= best[kRanked - 1].Error) return;
  int i = kRanked - 1;
  for (; i > 0 && best[i - 1].Error > c.Error; --i) best[i] = best[i - 1];
  best[i] = c;
}

// One trial from `h`: its squared error, its nibbles and the history after it. Stops as soon
// as the error reaches `bound` and returns it then, with `nibbles` and `after` incomplete.
std::int64_t Quantise(const std::int32_t* x, int filter, int shift, SearchHistory h,
                      std::int64_t bound, std::uint8_t* nibbles, SearchHistory& after);

// The kRanked best trials of the 28 samples `x` from `h`, one trial after another; a trial
// stops once it cannot rank.
void RankTrialsScalar(const std::int32_t* x, const SearchHistory& h, TrialChoice (&best)[kRanked]);

#if defined(__x86_64__) || defined(__i386__)
// Functions in AVX2 instructions, called only where the processor has them.
#define SORVANE_AVX2 __attribute__((target("avx2")))

// Two 16-bit values in one 32-bit lane, `low` in the low half: a history (S1 low) or a
// filter's weights, as one multiply-add of 16-bit pairs takes them.
constexpr std::int32_t PackPair(std::int32_t low, std::int32_t high) {
  return (low & 0xFFFF) | (high * 65536);
}
constexpr std::int32_t PackedWeights(int filter) {
  return PackPair(kWeight1[filter], kWeight2[filter]);
}

// The same, every trial computed whole in 32-bit lanes, errors summed in 64 bits. The
// history's values must be 16-bit, as the console's decoder keeps them.
void RankTrialsAvx2(const std::int32_t* x, const SearchHistory& h, TrialChoice (&best)[kRanked]);
#endif

}  // namespace sorvane
