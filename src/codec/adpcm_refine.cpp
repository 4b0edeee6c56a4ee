#include "codec/adpcm_refine.h"

#include <algorithm>
#include <limits>

namespace sorvane {
namespace {

// One refinement in progress, for one filter and shift: the partial reconstructions it
// carries from one sample to the next in order of error (of equal errors the one made first
// comes first), and for the way back each one's predecessor and nibble at every sample.
struct Beam {
  int Filter = 0;
  int Shift = 0;
  int Count = 0;  // 0 once no path can beat the bound
  std::int64_t Error[kSurvivors] = {};
  std::int32_t S1[kSurvivors] = {};
  std::int32_t S2[kSurvivors] = {};
  std::uint8_t From[kSamplesPerUnit][kSurvivors];
  std::uint8_t Nibble[kSamplesPerUnit][kSurvivors];
};

// The candidates of one sample: survivor i's nibble nearest below the residual is candidate
// 2i, the one above it 2i + 1. Each is one key: its error (below 28 x 65535^2 < 2^37), its
// index, its nibble and its value, so that keys in ascending order are the candidates in
// order of error, first made first. A candidate that does not exist, or cannot beat the
// bound, has no key.
constexpr int kCandidates = 2 * kSurvivors;
constexpr std::uint64_t kNoKey = std::numeric_limits<std::uint64_t>::max();
constexpr int kErrorAt = 23;
constexpr int kIndexAt = 20;
constexpr int kNibbleAt = 16;

struct Candidate {
  static std::int64_t Error(std::uint64_t key) { return std::int64_t(key >> kErrorAt); }
  static int Parent(std::uint64_t key) { return int(key >> (kIndexAt + 1)) & 3; }
  static std::uint8_t Nibble(std::uint64_t key) { return std::uint8_t(key >> kNibbleAt) & 15; }
  static std::int32_t Value(std::uint64_t key) { return std::int16_t(key & 0xFFFF); }
};

// Without a branch: which candidates survive is different at every sample.
void Extend(const Beam& beam, std::int32_t x, std::int64_t bound,
            std::uint64_t (&key)[kCandidates]) {
#pragma GCC unroll 4
  for (int i = 0; i < kSurvivors; ++i) {
    const std::int32_t p =
        (beam.S1[i] * kWeight1[beam.Filter] + beam.S2[i] * kWeight2[beam.Filter] + 32) >> 6;
    const std::int32_t low = std::clamp((x - p) >> beam.Shift, -8, 7);
    const std::uint64_t live = i < beam.Count;
#pragma GCC unroll 2
    for (int j = 2 * i; j < 2 * i + 2; ++j) {
      const std::int32_t q = low + (j & 1);
      const std::int32_t s = Clip16(q * (1 << beam.Shift) + p);
      const std::int64_t e = beam.Error[i] + std::int64_t{x - s} * (x - s);
      const std::uint64_t below = static_cast<std::uint64_t>(e - bound) >> 63;
      const std::uint64_t fits = static_cast<std::uint32_t>(q - 8) >> 31;
      key[j] = (static_cast<std::uint64_t>(e) << kErrorAt | std::uint64_t(j) << kIndexAt |
                std::uint64_t(q & 15) << kNibbleAt | (s & 0xFFFF)) |
               ((live & below & fits) - 1);
    }
  }
}

// Puts a and b in ascending order through a mask: as a branch, it would be mispredicted half
// of the time.
inline void Order(std::uint64_t& a, std::uint64_t& b) {
  const std::uint64_t swap = (a ^ b) & (0 - std::uint64_t(b < a));
  a ^= swap;
  b ^= swap;
}

// Batcher's network of 19 exchanges that sorts eight keys, without a branch.
void SortKeys(std::uint64_t (&k)[kCandidates]) {
  constexpr std::uint8_t kPairs[19][2] = {{0, 2}, {1, 3}, {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6},
                                          {3, 7}, {0, 1}, {2, 3}, {4, 5}, {6, 7}, {2, 4}, {3, 5},
                                          {1, 4}, {3, 6}, {1, 2}, {3, 4}, {5, 6}};
#pragma GCC unroll 19
  for (const auto& pair : kPairs) Order(k[pair[0]], k[pair[1]]);
}

// The two latest values that a candidate leaves, as one number.
inline std::uint32_t Latest(const Beam& beam, std::uint64_t key) {
  return std::uint32_t(key & 0xFFFF) | std::uint32_t(beam.S1[Candidate::Parent(key)]) << 16;
}

// True when two of the first kSurvivors sorted candidates that exist leave the same two
// latest values.
bool FirstRepeat(const Beam& beam, const std::uint64_t (&key)[kCandidates]) {
  std::uint32_t latest[kSurvivors];
  for (int j = 0; j < kSurvivors; ++j) latest[j] = Latest(beam, key[j]);
  bool repeat = false;
#pragma GCC unroll 4
  for (int a = 0; a < kSurvivors; ++a) {
#pragma GCC unroll 4
    for (int b = a + 1; b < kSurvivors; ++b)
      repeat |= (key[b] != kNoKey) & (latest[a] == latest[b]);
  }
  return repeat;
}

// The kSurvivors first sorted candidates whose two latest values differ from those of every
// candidate before them (the same values have the same future), moved to the front; returns
// how many there are.
int Distinct(const Beam& beam, std::uint64_t (&key)[kCandidates]) {
  int n = 0;
  for (int j = 0; j < kCandidates && n < kSurvivors && key[j] != kNoKey; ++j) {
    bool seen = false;
    for (int i = 0; i < n; ++i) seen |= Latest(beam, key[i]) == Latest(beam, key[j]);
    if (!seen) key[n++] = key[j];
  }
  return n;
}

// Moves the beam on to the sorted candidates it keeps at sample k. Most often the first
// kSurvivors differ; only when two of them repeat is the list walked.
void Select(Beam& beam, std::uint64_t (&key)[kCandidates], int k) {
  int n = 0;
  for (int j = 0; j < kSurvivors; ++j) n += key[j] != kNoKey;
  if (FirstRepeat(beam, key)) n = Distinct(beam, key);
  std::int32_t s2[kSurvivors];
  for (int i = 0; i < kSurvivors; ++i) s2[i] = beam.S1[Candidate::Parent(key[i])];
  for (int i = 0; i < kSurvivors; ++i) {
    beam.From[k][i] = static_cast<std::uint8_t>(Candidate::Parent(key[i]));
    beam.Nibble[k][i] = Candidate::Nibble(key[i]);
    beam.Error[i] = Candidate::Error(key[i]);
    beam.S1[i] = Candidate::Value(key[i]);
    beam.S2[i] = s2[i];
  }
  beam.Count = n;
}

// The kSurvivors best partial reconstructions go on, each with the two nibbles nearest below
// and above the residual.
void Step(Beam& beam, std::int32_t x, int k, std::int64_t bound) {
  if (beam.Count == 0) return;
  std::uint64_t key[kCandidates];
  Extend(beam, x, bound, key);
  SortKeys(key);
  Select(beam, key, k);
}

void Start(Beam& beam, int filter, int shift, const SearchHistory& h) {
  beam.Filter = filter;
  beam.Shift = shift;
  beam.Count = 1;
  std::fill_n(beam.S1, kSurvivors, h.S1);
  std::fill_n(beam.S2, kSurvivors, h.S2);
}

// The nibbles of the best path, found by going back from its end.
void TraceBack(const Beam& beam, std::uint8_t* nibbles) {
  for (int k = kSamplesPerUnit - 1, at = 0; k >= 0; --k) {
    nibbles[k] = beam.Nibble[k][at];
    at = beam.From[k][at];
  }
}

}  // namespace

// The trials' chains of arithmetic are independent: side by side, they overlap.
void RefineScalar(const std::int32_t* x, const SearchHistory& h, const TrialChoice (&best)[kRanked],
                  std::int64_t bound, RefinedPath (&paths)[kRanked]) {
  Beam beams[kRanked];
  for (int b = 0; b < kRanked; ++b) Start(beams[b], best[b].Filter, best[b].Shift, h);
  for (int k = 0; k < kSamplesPerUnit; ++k) {
    for (Beam& beam : beams) Step(beam, x[k], k, bound);
  }
  for (int b = 0; b < kRanked; ++b) {
    if (beams[b].Count == 0) continue;
    paths[b].Error = beams[b].Error[0];
    paths[b].After = {beams[b].S1[0], beams[b].S2[0]};
    TraceBack(beams[b], paths[b].Nibbles);
  }
}

}  // namespace sorvane
