#include "edit/waveform_summary.h"

#include <algorithm>

namespace sorvane {
namespace {

// SummarizeValues over parts of kPart values (0: count / kPairsPerSector, known only now).
// The values lie within 16 bits; as 16-bit numbers, in runs of a length known when compiling,
// the reductions become SSE2's 16-bit minimum and maximum instructions.
template <int kPart>
void SummarizeParts(const std::int32_t* values, int count, EnvelopePair* pairs) {
  constexpr int kRoom = kPart > 0 ? kPart : kMonoFramesPerSector;
  const int part = kPart > 0 ? kPart : std::min(count / kPairsPerSector, kRoom);
  const int whole = kPart > 0 ? kPart / 8 * 8 : part;
  std::int16_t n[kRoom];
  for (int p = 0; p < kPairsPerSector; ++p) {
    const std::int32_t* v = values + p * part;
    for (int i = 0; i < part; ++i) n[i] = static_cast<std::int16_t>(v[i]);
    std::int16_t low = n[0];
    std::int16_t high = n[0];
    for (int i = 0; i < whole; ++i) {
      low = std::min(low, n[i]);
      high = std::max(high, n[i]);
    }
    for (int i = whole; i < part; ++i) {
      low = std::min(low, n[i]);
      high = std::max(high, n[i]);
    }
    pairs[p] = {low, high};
  }
}

}  // namespace

void WaveformSummary::Reset(const ChannelRecord& record) {
  record_ = record;
  const std::size_t sectors = std::max<std::int32_t>(record.SectorCount, 0);
  for (int side = 0; side < 2; ++side) {
    const bool used = side < Sides();
    pairs_[side].assign(used ? sectors * kPairsPerSector : 0, EnvelopePair{});
    pairs_[side].shrink_to_fit();
    checkpoints_[side].assign(used ? (sectors + kCheckpointSectors - 1) / kCheckpointSectors : 0,
                              SideCheckpoint{});
    checkpoints_[side].shrink_to_fit();
    known_[side].assign(used ? sectors : 0, false);
    received_[side] = 0;
  }
}

void WaveformSummary::Add(const WaveformPiece& piece) {
  if (piece.Side < 0 || piece.Side >= Sides() || piece.First < 0) return;
  std::vector<EnvelopePair>& pairs = pairs_[piece.Side];
  const std::size_t at = std::size_t(piece.First) * kPairsPerSector;
  if (at >= pairs.size()) return;
  const std::size_t count = std::min(piece.Pairs.size(), pairs.size() - at);
  std::copy_n(piece.Pairs.begin(), count, pairs.begin() + static_cast<std::ptrdiff_t>(at));
  std::vector<SideCheckpoint>& kept = checkpoints_[piece.Side];
  const std::size_t first = std::size_t(piece.First) / kCheckpointSectors;
  for (std::size_t i = 0; i < piece.Checkpoints.size() && first + i < kept.size(); ++i)
    kept[first + i] = piece.Checkpoints[i];
  std::vector<bool>& known = known_[piece.Side];
  for (std::size_t k = piece.First; k < piece.First + count / kPairsPerSector; ++k) {
    if (!known[k]) ++received_[piece.Side];
    known[k] = true;
  }
}

bool WaveformSummary::Complete() const {
  for (int side = 0; side < Sides(); ++side)
    if (received_[side] < Sectors()) return false;
  return true;
}

bool WaveformSummary::Envelope(int side, std::int64_t firstPair, std::int64_t endPair,
                               EnvelopePair& out) const {
  if (side < 0 || side >= Sides()) return false;
  const std::vector<EnvelopePair>& pairs = pairs_[side];
  const std::vector<bool>& known = known_[side];
  firstPair = std::max<std::int64_t>(firstPair, 0);
  endPair = std::min<std::int64_t>(endPair, static_cast<std::int64_t>(pairs.size()));
  bool any = false;
  EnvelopePair e;
  // Sector by sector, so that whether it is known is asked once for its pairs.
  for (std::int64_t p = firstPair; p < endPair;) {
    const std::int64_t sectorEnd = std::min(endPair, (p / kPairsPerSector + 1) * kPairsPerSector);
    if (known[p / kPairsPerSector]) {
      if (!any) e = pairs[p];
      any = true;
      for (; p < sectorEnd; ++p) {
        e.Min = std::min(e.Min, pairs[p].Min);
        e.Max = std::max(e.Max, pairs[p].Max);
      }
    }
    p = sectorEnd;
  }
  if (any) out = e;
  return any;
}

bool WaveformSummary::CheckpointBefore(int side, std::int32_t sector, SideCheckpoint& state,
                                       std::int32_t& at) const {
  if (side < 0 || side >= Sides() || sector < 0 || sector >= Sectors()) return false;
  const std::int32_t kept = sector / kCheckpointSectors * kCheckpointSectors;
  if (!known_[side][kept]) return false;
  state = checkpoints_[side][kept / kCheckpointSectors];
  at = kept;
  return true;
}

std::size_t WaveformSummary::MemoryBytes() const {
  std::size_t bytes = sizeof *this;
  for (int side = 0; side < 2; ++side) {
    bytes += pairs_[side].capacity() * sizeof(EnvelopePair);
    bytes += checkpoints_[side].capacity() * sizeof(SideCheckpoint);
    bytes += known_[side].capacity() / 8;
  }
  return bytes;
}

void SummarizeValues(const std::int32_t* values, int count, EnvelopePair* pairs) {
  // With the part's length known when compiling, the reductions need no remainder loop and the
  // compiler makes vector instructions of them.
  switch (count / kPairsPerSector) {
    case kStereoFramesPerSector / kPairsPerSector:
      return SummarizeParts<kStereoFramesPerSector / kPairsPerSector>(values, count, pairs);
    case kMonoFramesPerSector / kPairsPerSector:
      return SummarizeParts<kMonoFramesPerSector / kPairsPerSector>(values, count, pairs);
    default:
      return SummarizeParts<0>(values, count, pairs);
  }
}

}  // namespace sorvane
