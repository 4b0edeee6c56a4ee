// The bytes of the original file that an undo entry already keeps. An edit that rewrites a
// channel keeps one sector at every interleave step, so pieces of equal size at an equal
// stride are held as one run: the set stays a few dozen entries for a whole disc.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvane {

// Bytes [Begin, End) of the file.
struct ByteRange {
  std::int64_t Begin;
  std::int64_t End;
};

class KeptRanges {
 public:
  // Marks [begin, end) as kept.
  void Add(std::int64_t begin, std::int64_t end);
  // Appends to `out`, in order, the parts of [begin, end) that are not kept.
  void Missing(std::int64_t begin, std::int64_t end, std::vector<ByteRange>& out) const;
  void Clear();

 private:
  // Count pieces of Size bytes, the k-th at First + k * Stride (Stride > Size).
  struct Run {
    std::int64_t First;
    std::int64_t Size;
    std::int64_t Stride;
    std::int64_t Count;
  };
  bool ExtendRun(std::int64_t begin, std::int64_t end);
  static void Subtract(const Run& run, std::vector<ByteRange>& pieces);

  std::vector<ByteRange> ranges_;  // sorted, disjoint, merged
  std::vector<Run> runs_;
};

}  // namespace sorvane
