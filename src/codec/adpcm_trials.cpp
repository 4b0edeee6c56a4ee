#include "codec/adpcm_trials.h"

namespace sorvane {
namespace {

template <int F>
inline std::int32_t Predict(std::int32_t s1, std::int32_t s2) {
  return (s1 * kWeight1[F] + s2 * kWeight2[F] + 32) >> 6;
}

template <int F>
std::int64_t QuantiseWith(const std::int32_t* x, int shift, SearchHistory h, std::int64_t bound,
                          std::uint8_t* nibbles, SearchHistory& after) {
  const std::int32_t half = (1 << shift) >> 1;
  std::int64_t error = 0;
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    const std::int32_t p = Predict<F>(h.S1, h.S2);
    const std::int32_t q = std::clamp((x[k] - p + half) >> shift, -8, 7);
    const std::int32_t s = Clip16(q * (1 << shift) + p);
    const std::int64_t d = x[k] - s;
    error += d * d;
    if (error >= bound) return error;
    nibbles[k] = static_cast<std::uint8_t>(q & 15);
    h = {s, h.S1};
  }
  after = h;
  return error;
}

using Trial = std::int64_t (*)(const std::int32_t*, int, SearchHistory, std::int64_t, std::uint8_t*,
                               SearchHistory&);
constexpr Trial kQuantise[4] = {QuantiseWith<0>, QuantiseWith<1>, QuantiseWith<2>, QuantiseWith<3>};

}  // namespace

std::int64_t Quantise(const std::int32_t* x, int filter, int shift, SearchHistory h,
                      std::int64_t bound, std::uint8_t* nibbles, SearchHistory& after) {
  return kQuantise[filter & 3](x, shift, h, bound, nibbles, after);
}

// A trial that stops early has reached the error of the second best so far, so it could not
// have ranked with its whole error either.
void RankTrialsScalar(const std::int32_t* x, const SearchHistory& h, TrialChoice (&best)[kRanked]) {
  std::uint8_t nibbles[kSamplesPerUnit];
  SearchHistory after;
  for (int filter = 0; filter < 4; ++filter) {
    for (int shift = 0; shift <= kHighestShift; ++shift) {
      const std::int64_t bound = best[kRanked - 1].Error;
      Rank(best, {kQuantise[filter](x, shift, h, bound, nibbles, after), filter, shift});
    }
  }
}

}  // namespace sorvane
