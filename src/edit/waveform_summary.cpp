#include "edit/waveform_summary.h"

#include <algorithm>

namespace sorvane {

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
    filled_[side] = 0;
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
  const auto end = static_cast<std::int32_t>((at + count) / kPairsPerSector);
  if (piece.First <= filled_[piece.Side]) filled_[piece.Side] = std::max(filled_[piece.Side], end);
}

bool WaveformSummary::Complete() const {
  for (int side = 0; side < Sides(); ++side)
    if (filled_[side] < Sectors()) return false;
  return true;
}

bool WaveformSummary::Envelope(int side, std::int64_t firstPair, std::int64_t endPair,
                               EnvelopePair& out) const {
  if (side < 0 || side >= Sides()) return false;
  const std::int64_t known = std::int64_t{filled_[side]} * kPairsPerSector;
  firstPair = std::max<std::int64_t>(firstPair, 0);
  endPair = std::min(endPair, known);
  if (firstPair >= endPair) return false;
  const std::vector<EnvelopePair>& pairs = pairs_[side];
  EnvelopePair e = pairs[firstPair];
  for (std::int64_t p = firstPair + 1; p < endPair; ++p) {
    e.Min = std::min(e.Min, pairs[p].Min);
    e.Max = std::max(e.Max, pairs[p].Max);
  }
  out = e;
  return true;
}

bool WaveformSummary::CheckpointBefore(int side, std::int32_t sector, SideCheckpoint& state,
                                       std::int32_t& at) const {
  if (side < 0 || side >= Sides() || sector < 0) return false;
  const std::int32_t kept = sector / kCheckpointSectors * kCheckpointSectors;
  if (kept >= filled_[side] && kept != 0) return false;
  if (kept / kCheckpointSectors >= static_cast<std::int32_t>(checkpoints_[side].size()))
    return false;
  state = checkpoints_[side][kept / kCheckpointSectors];
  at = kept;
  return true;
}

std::size_t WaveformSummary::MemoryBytes() const {
  std::size_t bytes = sizeof *this;
  for (int side = 0; side < 2; ++side) {
    bytes += pairs_[side].capacity() * sizeof(EnvelopePair);
    bytes += checkpoints_[side].capacity() * sizeof(SideCheckpoint);
  }
  return bytes;
}

void SummarizeValues(const std::int32_t* values, int count, EnvelopePair* pairs) {
  const int part = count / kPairsPerSector;
  for (int p = 0; p < kPairsPerSector; ++p) {
    const std::int32_t* v = values + p * part;
    const auto [low, high] = std::minmax_element(v, v + part);
    pairs[p] = {static_cast<std::int16_t>(*low), static_cast<std::int16_t>(*high)};
  }
}

}  // namespace sorvane
