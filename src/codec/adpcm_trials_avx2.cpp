// The 52 trials as the lanes of seven AVX2 registers of eight 32-bit lanes (four lanes
// unused). Each lane holds its two latest values as 16-bit halves (latest low), so that one
// multiply-add of 16-bit pairs makes the prediction.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <array>

#include "codec/adpcm_trials.h"

namespace sorvane {
namespace {

constexpr int kLanes = 8;
constexpr int kVectors = (kTrials + kLanes - 1) / kLanes;

// What each lane tries: the filter's weights as a 16-bit pair, the shift, and half a step.
struct LaneTable {
  std::int32_t Weights[kVectors * kLanes];
  std::int32_t Shift[kVectors * kLanes];
  std::int32_t Half[kVectors * kLanes];
};

constexpr LaneTable MakeLaneTable() {
  LaneTable t{};
  for (int lane = 0; lane < kVectors * kLanes; ++lane) {
    const int trial = std::min(lane, kTrials - 1);
    const int filter = trial / kShifts;
    const int shift = trial % kShifts;
    t.Weights[lane] = PackedWeights(filter);
    t.Shift[lane] = shift;
    t.Half[lane] = (1 << shift) >> 1;
  }
  return t;
}

alignas(32) constexpr LaneTable kLaneTable = MakeLaneTable();

struct LaneState {
  __m256i History[kVectors];  // S1 in the low half of each lane, S2 in the high half
  __m256i EvenError[kVectors];
  __m256i OddError[kVectors];
};

SORVANE_AVX2 inline __m256i Load(const std::int32_t* at) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(at));
}

// One sample in the lanes of register v: predict, quantise, reconstruct, add the squared
// error, move the history on.
SORVANE_AVX2 inline void Advance(LaneState& state, int v, __m256i x) {
  const __m256i weights = Load(kLaneTable.Weights + v * kLanes);
  const __m256i shift = Load(kLaneTable.Shift + v * kLanes);
  const __m256i half = Load(kLaneTable.Half + v * kLanes);
  const __m256i sum = _mm256_madd_epi16(state.History[v], weights);
  const __m256i p = _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32)), 6);
  __m256i q = _mm256_srav_epi32(_mm256_add_epi32(_mm256_sub_epi32(x, p), half), shift);
  q = _mm256_min_epi32(_mm256_max_epi32(q, _mm256_set1_epi32(-8)), _mm256_set1_epi32(7));
  __m256i s = _mm256_add_epi32(_mm256_sllv_epi32(q, shift), p);
  s = _mm256_min_epi32(_mm256_max_epi32(s, _mm256_set1_epi32(-32768)), _mm256_set1_epi32(32767));
  const __m256i d = _mm256_sub_epi32(x, s);
  const __m256i odd = _mm256_srli_epi64(d, 32);
  state.EvenError[v] = _mm256_add_epi64(state.EvenError[v], _mm256_mul_epi32(d, d));
  state.OddError[v] = _mm256_add_epi64(state.OddError[v], _mm256_mul_epi32(odd, odd));
  state.History[v] = _mm256_blend_epi16(_mm256_slli_epi32(state.History[v], 16), s, 0x55);
}

SORVANE_AVX2 void TrialErrors(const std::int32_t* x, const SearchHistory& h,
                              std::int64_t (&errors)[kVectors * kLanes]) {
  LaneState state;
  const __m256i start = _mm256_set1_epi32(PackPair(h.S1, h.S2));
  for (int v = 0; v < kVectors; ++v) {
    state.History[v] = start;
    state.EvenError[v] = state.OddError[v] = _mm256_setzero_si256();
  }
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const __m256i xk = _mm256_set1_epi32(x[k]);
#pragma GCC unroll 7
    for (int v = 0; v < kVectors; ++v) Advance(state, v, xk);
  }
  for (int v = 0; v < kVectors; ++v) {
    alignas(32) std::int64_t even[4], odd[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(even), state.EvenError[v]);
    _mm256_store_si256(reinterpret_cast<__m256i*>(odd), state.OddError[v]);
    for (int j = 0; j < 4; ++j) {
      errors[v * kLanes + 2 * j] = even[j];
      errors[v * kLanes + 2 * j + 1] = odd[j];
    }
  }
}

}  // namespace

void RankTrialsAvx2(const std::int32_t* x, const SearchHistory& h, TrialChoice (&best)[kRanked]) {
  std::int64_t errors[kVectors * kLanes];
  TrialErrors(x, h, errors);
  for (int trial = 0; trial < kTrials; ++trial) {
    Rank(best, {errors[trial], trial / kShifts, trial % kShifts});
  }
}

}  // namespace sorvane

#endif
