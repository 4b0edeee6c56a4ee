// The high-quality encoder's unit: every filter with every range 0 to 12 tried in closed loop
// against the decoder the console and other players use (16-bit values, histories clamped to
// 16 bits, predictions rounded), keeping the least squared error; the best few choices are
// then refined nibble by nibble. Pure arithmetic over sample buffers.
#pragma once

#include <cstdint>

#include "codec/adpcm_filters.h"
#include "format/sector.h"

namespace sorvane {

// The two latest decoded values of one side, as the console's decoder keeps them (16-bit).
using SearchHistory = PredictorHistory;

struct SearchedUnit {
  std::uint8_t Parameter = 0;             // filter x 16 + range, range 0..12
  std::uint8_t Nibbles[kSamplesPerUnit];  // 0..15: the low 4 bits of -8..7
  std::int64_t SquaredError = 0;          // against the samples, at the 16-bit scale
  SearchHistory History;                  // after the unit
};

// How the first search's trials are computed: one after another, or all at once in the lanes
// of AVX2 registers. Both keep the same unit.
enum class TrialPath : std::uint8_t { Scalar, Avx2 };

// Avx2 where this processor has it, else Scalar; found once.
TrialPath FastestTrialPath();

// Encodes 28 samples, the k-th at samples[k * stride], from `history`, and moves `history`
// on to the kept result's. The history's values are 16-bit. `path` must be one this
// processor runs.
SearchedUnit SearchUnit(const std::int16_t* samples, int stride, SearchHistory& history,
                        TrialPath path = FastestTrialPath());

// The value the console's decoder makes of nibble `q` (-8..7) with `filter` and `range`.
std::int32_t ConsoleDecode(int q, int filter, int range, SearchHistory& history);

}  // namespace sorvane
