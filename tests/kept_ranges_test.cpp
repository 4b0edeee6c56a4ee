// The set of bytes an undo entry keeps, against a plain array of flags: random sequences of
// additions in the orders an edit makes them (strided sectors in order, stray writes, cuts)
// must give exactly the same missing parts, and a channel's sectors stay a single run.
#include "container/kept_ranges.h"

#include <gtest/gtest.h>

#include <random>

namespace sorvane {
namespace {

constexpr std::int64_t kBytes = 4000;

std::vector<ByteRange> MissingByFlags(const std::vector<bool>& kept, std::int64_t begin,
                                      std::int64_t end) {
  std::vector<ByteRange> out;
  for (std::int64_t at = begin; at < end; ++at) {
    if (kept[at]) continue;
    if (!out.empty() && out.back().End == at)
      ++out.back().End;
    else
      out.push_back({at, at + 1});
  }
  return out;
}

void ExpectSame(const KeptRanges& set, const std::vector<bool>& flags, std::int64_t begin,
                std::int64_t end, int seed) {
  std::vector<ByteRange> got;
  set.Missing(begin, end, got);
  const std::vector<ByteRange> want = MissingByFlags(flags, begin, end);
  ASSERT_EQ(got.size(), want.size()) << "seed " << seed << " [" << begin << ", " << end << ")";
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].Begin, want[k].Begin) << "seed " << seed;
    EXPECT_EQ(got[k].End, want[k].End) << "seed " << seed;
  }
}

TEST(KeptRanges, AgreesWithAFlagPerByte) {
  for (int seed = 0; seed < 300; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&](std::int64_t low, std::int64_t high) {
      return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    KeptRanges set;
    std::vector<bool> flags(kBytes, false);
    auto add = [&](std::int64_t b, std::int64_t e) {
      set.Add(b, e);
      for (std::int64_t at = b; at < e; ++at) flags[at] = true;
    };
    for (int step = 0; step < 12; ++step) {
      if (pick(0, 2) == 0) {
        // A channel's sectors, in order, some of them already kept in part.
        const std::int64_t size = pick(1, 60);
        const std::int64_t stride = size + pick(0, 80);
        for (std::int64_t b = pick(0, 500); b + size <= kBytes && pick(0, 30) != 0; b += stride)
          add(b, b + size);
      } else {
        const std::int64_t b = pick(0, kBytes - 1);
        add(b, std::min(kBytes, b + pick(0, 300)));
      }
      const std::int64_t b = pick(0, kBytes);
      ExpectSame(set, flags, b, std::min(kBytes, b + pick(0, 1500)), seed);
    }
    ExpectSame(set, flags, 0, kBytes, seed);
  }
}

// 300,000 sectors of one channel, as an import of a whole disc keeps them: every byte of
// them is kept, none between them.
TEST(KeptRanges, KeepsAWholeDiscsChannelExactly) {
  KeptRanges set;
  constexpr std::int64_t kSector = 2336, kStride = 4 * 2352, kCount = 300000;
  for (std::int64_t k = 0; k < kCount; ++k) set.Add(100 + k * kStride, 100 + k * kStride + kSector);
  std::vector<ByteRange> missing;
  set.Missing(100 + 7 * kStride - 5, 100 + 8 * kStride + kSector + 5, missing);
  ASSERT_EQ(missing.size(), 3u);
  EXPECT_EQ(missing[0].Begin, 100 + 7 * kStride - 5);
  EXPECT_EQ(missing[0].End, 100 + 7 * kStride);
  EXPECT_EQ(missing[1].Begin, 100 + 7 * kStride + kSector);
  EXPECT_EQ(missing[1].End, 100 + 8 * kStride);
  EXPECT_EQ(missing[2].Begin, 100 + 8 * kStride + kSector);
  EXPECT_EQ(missing[2].End, 100 + 8 * kStride + kSector + 5);
}

}  // namespace
}  // namespace sorvane
