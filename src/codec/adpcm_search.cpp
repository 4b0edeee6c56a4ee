#include "codec/adpcm_search.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace sorvane {
namespace {

// The console's filter weights, in 64ths of the two previous values.
constexpr int kWeight1[4] = {0, 60, 115, 98};
constexpr int kWeight2[4] = {0, 0, -52, -55};
constexpr int kHighestRange = 12;
constexpr int kRefined = 2;    // the best choices of the first search that are refined
constexpr int kSurvivors = 4;  // partial reconstructions kept by the refinement
constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();

inline std::int32_t Clip16(std::int32_t v) { return std::clamp(v, -32768, 32767); }

template <int F>
inline std::int32_t Predict(std::int32_t s1, std::int32_t s2) {
  return (s1 * kWeight1[F] + s2 * kWeight2[F] + 32) >> 6;
}

// One filter and shift in closed loop, each sample quantised to the nearest nibble. Stops as
// soon as the error reaches `bound` (returns it then, with `nibbles` incomplete).
template <int F>
std::int64_t Quantise(const std::int32_t* x, int shift, SearchHistory h, std::int64_t bound,
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

// The nibbles of one filter and shift chosen together: the kSurvivors best partial
// reconstructions go on, each with the two nibbles nearest below and above the residual.
template <int F>
std::int64_t Refine(const std::int32_t* x, int shift, SearchHistory h, std::int64_t bound,
                    std::uint8_t* nibbles, SearchHistory& after) {
  struct Path {
    std::int64_t Error;
    SearchHistory History;
    std::uint8_t From, Nibble;
  };
  Path live[kSurvivors] = {{0, h, 0, 0}};
  int count = 1;
  std::uint8_t from[kSamplesPerUnit][kSurvivors], chosen[kSamplesPerUnit][kSurvivors];
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    Path next[2 * kSurvivors];
    int n = 0;
    for (int i = 0; i < count; ++i) {
      const std::int32_t p = Predict<F>(live[i].History.S1, live[i].History.S2);
      const std::int32_t low = std::clamp((x[k] - p) >> shift, -8, 7);
      for (std::int32_t q = low; q <= std::min(low + 1, 7); ++q) {
        const std::int32_t s = Clip16(q * (1 << shift) + p);
        const std::int64_t e = live[i].Error + std::int64_t{x[k] - s} * (x[k] - s);
        if (e >= bound) continue;
        // Insertion in order of error: at most eight candidates.
        int at = std::min(n, 2 * kSurvivors - 1);
        for (; at > 0 && next[at - 1].Error > e; --at) next[at] = next[at - 1];
        next[at] = {e, {s, live[i].History.S1}, std::uint8_t(i), std::uint8_t(q & 15)};
        n = std::min(n + 1, 2 * kSurvivors);
      }
    }
    if (n == 0) return kNone;
    count = 0;
    for (int j = 0; j < n && count < kSurvivors; ++j) {
      bool seen = false;
      for (int i = 0; i < count; ++i)
        seen = seen || (live[i].History.S1 == next[j].History.S1 &&
                        live[i].History.S2 == next[j].History.S2);
      if (seen) continue;
      from[k][count] = next[j].From;
      chosen[k][count] = next[j].Nibble;
      live[count++] = next[j];
    }
  }
  for (int k = kSamplesPerUnit - 1, at = 0; k >= 0; --k) {
    nibbles[k] = chosen[k][at];
    at = from[k][at];
  }
  after = live[0].History;
  return live[0].Error;
}

using Trial = std::int64_t (*)(const std::int32_t*, int, SearchHistory, std::int64_t, std::uint8_t*,
                               SearchHistory&);
constexpr Trial kQuantise[4] = {Quantise<0>, Quantise<1>, Quantise<2>, Quantise<3>};
constexpr Trial kRefine[4] = {Refine<0>, Refine<1>, Refine<2>, Refine<3>};

struct Choice {
  std::int64_t Error = kNone;
  int Filter = 0;
  int Shift = 0;
};

// Keeps `c` among the kRefined best choices, in order.
void Rank(Choice (&best)[kRefined], const Choice& c) {
  if (c.Error >= best[kRefined - 1].Error) return;
  int i = kRefined - 1;
  for (; i > 0 && best[i - 1].Error > c.Error; --i) best[i] = best[i - 1];
  best[i] = c;
}

void Keep(SearchedUnit& unit, std::int64_t error, int filter, int shift,
          const std::uint8_t* nibbles, const SearchHistory& after) {
  unit.SquaredError = error;
  unit.Parameter = static_cast<std::uint8_t>(filter * 16 + (kHighestRange - shift));
  std::memcpy(unit.Nibbles, nibbles, kSamplesPerUnit);
  unit.History = after;
}

}  // namespace

std::int32_t ConsoleDecode(int q, int filter, int range, SearchHistory& history) {
  const std::int32_t p =
      (history.S1 * kWeight1[filter & 3] + history.S2 * kWeight2[filter & 3] + 32) >> 6;
  const std::int32_t s = Clip16(q * (1 << (kHighestRange - range)) + p);
  history = {s, history.S1};
  return s;
}

SearchedUnit SearchUnit(const std::int16_t* samples, int stride, SearchHistory& history) {
  std::int32_t x[kSamplesPerUnit];
  for (int k = 0; k < kSamplesPerUnit; ++k) x[k] = samples[k * stride];
  SearchedUnit kept;
  kept.SquaredError = kNone;
  Choice best[kRefined];
  std::uint8_t nibbles[kSamplesPerUnit];
  SearchHistory after;
  // Trials that cannot beat the kRefined best so far stop early. From the smallest step up,
  // so that of equal errors the quieter choice is kept (silence as range 12).
  for (int filter = 0; filter < 4; ++filter) {
    for (int shift = 0; shift <= kHighestRange; ++shift) {
      const std::int64_t e =
          kQuantise[filter](x, shift, history, best[kRefined - 1].Error, nibbles, after);
      if (e < kept.SquaredError) Keep(kept, e, filter, shift, nibbles, after);
      Rank(best, {e, filter, shift});
    }
  }
  for (const Choice& c : best) {
    if (c.Error == kNone) break;
    const std::int64_t e =
        kRefine[c.Filter](x, c.Shift, history, kept.SquaredError, nibbles, after);
    if (e < kept.SquaredError) Keep(kept, e, c.Filter, c.Shift, nibbles, after);
  }
  history = kept.History;
  return kept;
}

}  // namespace sorvane
