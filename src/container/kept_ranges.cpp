#include "container/kept_ranges.h"

#include <algorithm>

namespace sorvane {

void KeptRanges::Clear() {
  ranges_.clear();
  runs_.clear();
}

// A piece one stride after the newest run's last, or after the newest lone range of the
// same size, joins that run (or starts one); ranges arrive in order as a channel is kept.
bool KeptRanges::ExtendRun(std::int64_t begin, std::int64_t end) {
  const std::int64_t size = end - begin;
  if (!runs_.empty()) {
    Run& run = runs_.back();
    if (run.Size == size && begin == run.First + run.Count * run.Stride) {
      ++run.Count;
      return true;
    }
  }
  if (ranges_.empty()) return false;
  const ByteRange last = ranges_.back();
  if (last.End - last.Begin != size || begin <= last.End) return false;
  runs_.push_back({last.Begin, size, begin - last.Begin, 2});
  ranges_.pop_back();
  return true;
}

void KeptRanges::Add(std::int64_t begin, std::int64_t end) {
  if (begin >= end || ExtendRun(begin, end)) return;
  auto it = std::lower_bound(ranges_.begin(), ranges_.end(), begin,
                             [](const ByteRange& r, std::int64_t v) { return r.End < v; });
  std::int64_t b = begin;
  std::int64_t e = end;
  auto last = it;
  while (last != ranges_.end() && last->Begin <= e) {
    b = std::min(b, last->Begin);
    e = std::max(e, last->End);
    ++last;
  }
  it = ranges_.erase(it, last);
  ranges_.insert(it, {b, e});
}

// Takes the run's pieces out of `pieces` (sorted, disjoint).
void KeptRanges::Subtract(const Run& run, std::vector<ByteRange>& pieces) {
  std::vector<ByteRange> left;
  for (ByteRange p : pieces) {
    // The first piece of the run that ends after p.Begin.
    std::int64_t k = std::max<std::int64_t>(0, (p.Begin - run.First - run.Size) / run.Stride);
    for (; k < run.Count && p.Begin < p.End; ++k) {
      const std::int64_t b = run.First + k * run.Stride;
      if (b >= p.End) break;
      const std::int64_t e = b + run.Size;
      if (e <= p.Begin) continue;
      if (b > p.Begin) left.push_back({p.Begin, b});
      p.Begin = std::max(p.Begin, e);
    }
    if (p.Begin < p.End) left.push_back(p);
  }
  pieces.swap(left);
}

void KeptRanges::Missing(std::int64_t begin, std::int64_t end, std::vector<ByteRange>& out) const {
  std::vector<ByteRange> pieces;
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), begin,
                             [](std::int64_t v, const ByteRange& r) { return v < r.End; });
  for (; begin < end; ++it) {
    if (it == ranges_.end() || it->Begin >= end) {
      pieces.push_back({begin, end});
      break;
    }
    if (it->Begin > begin) pieces.push_back({begin, it->Begin});
    begin = std::max(begin, it->End);
  }
  for (const Run& run : runs_) Subtract(run, pieces);
  out.insert(out.end(), pieces.begin(), pieces.end());
}

}  // namespace sorvane
