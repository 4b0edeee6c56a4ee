#include "codec/adpcm_search.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "codec/adpcm_refine.h"
#include "codec/adpcm_trials.h"

namespace sorvane {
namespace {

void Keep(SearchedUnit& unit, std::int64_t error, int filter, int shift,
          const std::uint8_t* nibbles, const SearchHistory& after) {
  unit.SquaredError = error;
  unit.Parameter = static_cast<std::uint8_t>(filter * 16 + (kHighestShift - shift));
  std::memcpy(unit.Nibbles, nibbles, kSamplesPerUnit);
  unit.History = after;
}

// The refinements of the best trials, or else the best trial itself. Each refinement keeps
// the paths below the best trial's error; a path between that and the error of a refinement
// before it never takes the place of one below, so the kept result is the same as refining
// one after the other with the bound lowered each time.
void Choose(const std::int32_t* x, const SearchHistory& history, const TrialChoice (&best)[kRanked],
            TrialPath path, SearchedUnit& kept) {
  RefinedPath paths[kRanked];
  if (best[0].Error > 0) {
#if defined(__x86_64__) || defined(__i386__)
    if (path == TrialPath::Avx2) {
      RefineAvx2(x, history, best, best[0].Error, paths);
    } else {
      RefineScalar(x, history, best, best[0].Error, paths);
    }
#else
    RefineScalar(x, history, best, best[0].Error, paths);
#endif
  }
  int b = 0;
  for (int i = 1; i < kRanked; ++i) b = paths[i].Error < paths[b].Error ? i : b;
  if (paths[b].Error < best[0].Error) {
    Keep(kept, paths[b].Error, best[b].Filter, best[b].Shift, paths[b].Nibbles, paths[b].After);
    return;
  }
  std::uint8_t nibbles[kSamplesPerUnit];
  SearchHistory after;
  Quantise(x, best[0].Filter, best[0].Shift, history, kNoError, nibbles, after);
  Keep(kept, best[0].Error, best[0].Filter, best[0].Shift, nibbles, after);
}

}  // namespace

std::int32_t ConsoleDecode(int q, int filter, int range, SearchHistory& history) {
  const std::int32_t p =
      (history.S1 * kWeight1[filter & 3] + history.S2 * kWeight2[filter & 3] + 32) >> 6;
  const std::int32_t s = Clip16(q * (1 << (kHighestShift - range)) + p);
  history = {s, history.S1};
  return s;
}

TrialPath FastestTrialPath() {
#if defined(__x86_64__) || defined(__i386__)
  // The processor's features are read here, as a static object's constructor may call this
  // before the run-time library has read them.
  static const TrialPath fastest = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? TrialPath::Avx2 : TrialPath::Scalar;
  }();
  return fastest;
#else
  return TrialPath::Scalar;
#endif
}

SearchedUnit SearchUnit(const std::int16_t* samples, int stride, SearchHistory& history,
                        TrialPath path) {
  std::int32_t x[kSamplesPerUnit];
  for (int k = 0; k < kSamplesPerUnit; ++k) x[k] = samples[k * stride];
  TrialChoice best[kRanked];
#if defined(__x86_64__) || defined(__i386__)
  if (path == TrialPath::Avx2) {
    RankTrialsAvx2(x, history, best);
  } else {
    RankTrialsScalar(x, history, best);
  }
#else
  RankTrialsScalar(x, history, best);
#endif
  SearchedUnit kept;
  Choose(x, history, best, path, kept);
  history = kept.History;
  return kept;
}

}  // namespace sorvane
