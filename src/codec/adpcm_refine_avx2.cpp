// The refinement in one AVX2 register of eight 32-bit lanes per trial: lanes 2i and 2i + 1
// are survivor i's candidates, the nibble nearest below its residual and the one above.
// Errors stay below the bound, the best trial's error, which is at most that of filter 0 with
// shift 12 (every sample within 4095 of a step): below 2^29, so that a candidate's error
// over its 3-bit index is one 32-bit key; a sorting network over the lanes puts the keys in order,
// and the kept candidates' values follow their keys through lane permutations.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "codec/adpcm_refine.h"

namespace sorvane {
namespace {

static_assert(std::int64_t{kSamplesPerUnit} * 4095 * 4095 < (std::int64_t{1} << 29));
constexpr int kLanes = 8;

struct LaneBeam {
  __m256i Weights;  // the filter's weights as a 16-bit pair
  __m128i Shift;    // the shift, as the count of a shift by register
  __m256i History;  // the survivor's S1 (low half) and S2 (high half)
  __m256i Error;    // the survivor's error
  __m256i Live;     // all ones where the survivor exists
  // Per sample, a byte per survivor: its predecessor, and its nibble above the 2 low bits.
  std::uint32_t Way[kSamplesPerUnit];
};

SORVANE_AVX2 inline __m256i Lanes(int a, int b, int c, int d, int e, int f, int g, int h) {
  return _mm256_setr_epi32(a, b, c, d, e, f, g, h);
}

SORVANE_AVX2 inline __m256i Clamp(__m256i v, int low, int high) {
  return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_set1_epi32(low)), _mm256_set1_epi32(high));
}

// One layer of the sorting network: each lane and its partner keep the smaller in the lower
// lane, the larger in the lane marked in `upper`.
template <int kUpper>
SORVANE_AVX2 inline __m256i Exchange(__m256i keys, __m256i other) {
  return _mm256_blend_epi32(_mm256_min_epu32(keys, other), _mm256_max_epu32(keys, other), kUpper);
}

// Batcher's network for eight keys, in six layers (the scalar refinement's pairs); partners
// within a 128-bit half are found by the quicker in-half shuffle.
SORVANE_AVX2 inline __m256i SortKeys(__m256i k) {
  k = Exchange<0xCC>(k, _mm256_shuffle_epi32(k, _MM_SHUFFLE(1, 0, 3, 2)));
  k = Exchange<0xF0>(k, _mm256_permute4x64_epi64(k, _MM_SHUFFLE(1, 0, 3, 2)));
  k = Exchange<0xAA>(k, _mm256_shuffle_epi32(k, _MM_SHUFFLE(2, 3, 0, 1)));
  k = Exchange<0x30>(k, _mm256_permutevar8x32_epi32(k, Lanes(0, 1, 4, 5, 2, 3, 6, 7)));
  k = Exchange<0x50>(k, _mm256_permutevar8x32_epi32(k, Lanes(0, 4, 2, 6, 1, 5, 3, 7)));
  return Exchange<0x54>(k, _mm256_permutevar8x32_epi32(k, Lanes(0, 2, 1, 4, 3, 6, 5, 7)));
}

// True when two of the first four sorted candidates that exist leave the same history.
SORVANE_AVX2 inline bool FirstRepeat(__m256i latest, __m256i none) {
  const __m128i l = _mm256_castsi256_si128(latest);
  const __m128i n = _mm256_castsi256_si128(none);
  const __m128i l1 = _mm_shuffle_epi32(l, _MM_SHUFFLE(0, 3, 2, 1));
  const __m128i l2 = _mm_shuffle_epi32(l, _MM_SHUFFLE(1, 0, 3, 2));
  const __m128i n1 = _mm_or_si128(n, _mm_shuffle_epi32(n, _MM_SHUFFLE(0, 3, 2, 1)));
  const __m128i n2 = _mm_or_si128(n, _mm_shuffle_epi32(n, _MM_SHUFFLE(1, 0, 3, 2)));
  const __m128i same = _mm_or_si128(_mm_andnot_si128(n1, _mm_cmpeq_epi32(l, l1)),
                                    _mm_andnot_si128(n2, _mm_cmpeq_epi32(l, l2)));
  return _mm_movemask_epi8(same) != 0;
}

// The walk the scalar refinement takes when candidates repeat: the first four sorted
// candidates with histories unlike those before them move to the front, the rest go.
SORVANE_AVX2 void KeepDistinct(__m256i& key, __m256i& latest, __m256i& way) {
  alignas(32) std::uint32_t k[kLanes], l[kLanes], w[kLanes];
  _mm256_store_si256(reinterpret_cast<__m256i*>(k), key);
  _mm256_store_si256(reinterpret_cast<__m256i*>(l), latest);
  _mm256_store_si256(reinterpret_cast<__m256i*>(w), way);
  int n = 0;
  for (int j = 0; j < kLanes && n < kSurvivors && k[j] != ~0u; ++j) {
    bool seen = false;
    for (int i = 0; i < n; ++i) seen |= l[i] == l[j];
    if (seen) continue;
    k[n] = k[j], l[n] = l[j], w[n] = w[j];
    ++n;
  }
  for (int j = n; j < kLanes; ++j) k[j] = ~0u;
  key = _mm256_load_si256(reinterpret_cast<const __m256i*>(k));
  latest = _mm256_load_si256(reinterpret_cast<const __m256i*>(l));
  way = _mm256_load_si256(reinterpret_cast<const __m256i*>(w));
}

SORVANE_AVX2 void Start(LaneBeam& beam, const TrialChoice& trial, const SearchHistory& h) {
  beam.Weights = _mm256_set1_epi32(PackedWeights(trial.Filter));
  beam.Shift = _mm_cvtsi32_si128(trial.Shift);
  beam.History = _mm256_set1_epi32(PackPair(h.S1, h.S2));
  beam.Error = _mm256_setzero_si256();
  beam.Live = Lanes(-1, -1, 0, 0, 0, 0, 0, 0);
}

// The candidates of sample k as sorted keys, with the history and the way back each leaves.
SORVANE_AVX2 inline __m256i Candidates(const LaneBeam& beam, __m256i x, __m256i bound,
                                       __m256i& latest, __m256i& way) {
  const __m256i sum = _mm256_madd_epi16(beam.History, beam.Weights);
  const __m256i p = _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32)), 6);
  const __m256i low = Clamp(_mm256_sra_epi32(_mm256_sub_epi32(x, p), beam.Shift), -8, 7);
  const __m256i q = _mm256_add_epi32(low, Lanes(0, 1, 0, 1, 0, 1, 0, 1));
  const __m256i s = Clamp(_mm256_add_epi32(_mm256_sll_epi32(q, beam.Shift), p), -32768, 32767);
  const __m256i d = _mm256_sub_epi32(x, s);
  // d * d < 2^32 read unsigned; a square at the bound or above is cut to the bound.
  const __m256i square = _mm256_min_epu32(_mm256_mullo_epi32(d, d), bound);
  const __m256i e = _mm256_add_epi32(beam.Error, square);
  const __m256i valid = _mm256_and_si256(
      beam.Live,
      _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(8), q), _mm256_cmpgt_epi32(bound, e)));
  const __m256i made = _mm256_or_si256(_mm256_slli_epi32(e, 3), Lanes(0, 1, 2, 3, 4, 5, 6, 7));
  const __m256i key =
      SortKeys(_mm256_or_si256(made, _mm256_cmpeq_epi32(valid, _mm256_setzero_si256())));
  const __m256i index = _mm256_and_si256(key, _mm256_set1_epi32(7));
  const __m256i value =
      _mm256_and_si256(_mm256_permutevar8x32_epi32(s, index), _mm256_set1_epi32(0xFFFF));
  latest = _mm256_or_si256(value,
                           _mm256_slli_epi32(_mm256_permutevar8x32_epi32(beam.History, index), 16));
  const __m256i nibble =
      _mm256_and_si256(_mm256_permutevar8x32_epi32(q, index), _mm256_set1_epi32(15));
  way = _mm256_or_si256(_mm256_srli_epi32(index, 1), _mm256_slli_epi32(nibble, 2));
  return key;
}

SORVANE_AVX2 void Step(LaneBeam& beam, __m256i x, __m256i bound, int k) {
  __m256i latest, way;
  __m256i key = Candidates(beam, x, bound, latest, way);
  const __m256i ones = _mm256_set1_epi32(-1);
  if (FirstRepeat(latest, _mm256_cmpeq_epi32(key, ones))) KeepDistinct(key, latest, way);
  const __m128i bytes =
      _mm_shuffle_epi8(_mm256_castsi256_si128(way),
                       _mm_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
  beam.Way[k] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
  const __m256i pairs = Lanes(0, 0, 1, 1, 2, 2, 3, 3);
  beam.History = _mm256_permutevar8x32_epi32(latest, pairs);
  beam.Error = _mm256_permutevar8x32_epi32(_mm256_srli_epi32(key, 3), pairs);
  beam.Live =
      _mm256_andnot_si256(_mm256_permutevar8x32_epi32(_mm256_cmpeq_epi32(key, ones), pairs), ones);
}

SORVANE_AVX2 void Finish(const LaneBeam& beam, RefinedPath& path) {
  if (_mm256_extract_epi32(beam.Live, 0) == 0) return;
  path.Error = _mm256_extract_epi32(beam.Error, 0);
  const std::uint32_t history = static_cast<std::uint32_t>(_mm256_extract_epi32(beam.History, 0));
  path.After = {std::int16_t(history & 0xFFFF), std::int16_t(history >> 16)};
  for (int k = kSamplesPerUnit - 1, at = 0; k >= 0; --k) {
    const std::uint32_t step = (beam.Way[k] >> (8 * at)) & 0xFF;
    path.Nibbles[k] = static_cast<std::uint8_t>(step >> 2);
    at = static_cast<int>(step & 3);
  }
}

}  // namespace

SORVANE_AVX2 void RefineAvx2(const std::int32_t* x, const SearchHistory& h,
                             const TrialChoice (&best)[kRanked], std::int64_t bound,
                             RefinedPath (&paths)[kRanked]) {
  LaneBeam beams[kRanked];
  for (int b = 0; b < kRanked; ++b) Start(beams[b], best[b], h);
  const __m256i limit = _mm256_set1_epi32(static_cast<std::int32_t>(bound));
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const __m256i xk = _mm256_set1_epi32(x[k]);
    for (LaneBeam& beam : beams) Step(beam, xk, limit, k);
  }
  for (int b = 0; b < kRanked; ++b) Finish(beams[b], paths[b]);
}

}  // namespace sorvane

#endif
