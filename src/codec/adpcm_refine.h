// The second stage of the high-quality unit search: the best trials refined nibble by nibble.
// From sample to sample up to kSurvivors partial reconstructions go on, each with the two
// nibbles nearest below and above its residual; of the candidates the kSurvivors least
// errors are kept (of equal errors the one made first), one of each pair of latest values,
// and none that reaches the bound. The refinement runs in scalar code, or in the lanes of
// AVX2 registers where the processor has them; both find the same paths.
#pragma once

#include <cstdint>

#include "codec/adpcm_trials.h"

namespace sorvane {

inline constexpr int kSurvivors = 4;

// The best path a refinement found: its error (kNoError when no path stayed below the
// bound), its nibbles and the history after it.
struct RefinedPath {
  std::int64_t Error = kNoError;
  std::uint8_t Nibbles[kSamplesPerUnit];
  SearchHistory After;
};

// Refines each trial of `best` from `h` on the 28 samples `x`, side by side, keeping paths
// below `bound`, into paths[b].
void RefineScalar(const std::int32_t* x, const SearchHistory& h, const TrialChoice (&best)[kRanked],
                  std::int64_t bound, RefinedPath (&paths)[kRanked]);

#if defined(__x86_64__) || defined(__i386__)
// The same in AVX2 lanes, errors in 32 bits: `bound` must be the error of a trial of
// `best`, which is below 2^29. The history's values must be 16-bit.
void RefineAvx2(const std::int32_t* x, const SearchHistory& h, const TrialChoice (&best)[kRanked],
                std::int64_t bound, RefinedPath (&paths)[kRanked]);
#endif

}  // namespace sorvane
