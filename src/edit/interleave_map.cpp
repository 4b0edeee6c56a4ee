#include "edit/interleave_map.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace sorvane {
namespace {

constexpr std::int64_t kPeriod = kMapRows;

// Sectors s of [first, end) with s mod 32 = row.
std::int64_t SectorsInRow(std::int64_t first, std::int64_t end, int row) {
  const std::int64_t offset = ((row - first) % kPeriod + kPeriod) % kPeriod;
  const std::int64_t start = first + offset;
  return start >= end ? 0 : (end - start + kPeriod - 1) / kPeriod;
}

// The first sector at or after `sector` on the record's steps.
std::int64_t NextStep(const ChannelRecord& r, std::int64_t sector) {
  if (sector <= r.FirstSector) return r.FirstSector;
  const std::int64_t steps = (sector - r.FirstSector + r.Interleave - 1) / r.Interleave;
  return r.FirstSector + steps * r.Interleave;
}

// More sectors win; between equals a channel before a data run before a post-gap before
// nothing, then the earlier record.
bool Beats(const SectorOwner& a, std::int64_t countA, const SectorOwner& b, std::int64_t countB) {
  if (countA != countB) return countA > countB;
  return std::tie(a.Kind, a.Record) < std::tie(b.Kind, b.Record);
}

MapRgb FromHsv(double hue, double saturation, double value) {
  const double h = hue * 6.0;
  const int sextant = static_cast<int>(h) % 6;
  const double f = h - std::floor(h);
  const double p = value * (1 - saturation);
  const double q = value * (1 - saturation * f);
  const double t = value * (1 - saturation * (1 - f));
  double rgb[6][3] = {{value, t, p}, {q, value, p}, {p, value, t},
                      {p, q, value}, {t, p, value}, {value, p, q}};
  auto byte = [](double x) { return static_cast<std::uint8_t>(std::lround(x * 255)); };
  return {byte(rgb[sextant][0]), byte(rgb[sextant][1]), byte(rgb[sextant][2])};
}

}  // namespace

std::int64_t PeriodCount(const XaFile& xa) { return (std::int64_t{xa.SectorCount} + 31) / 32; }

PeriodSpan ColumnPeriods(std::int64_t column, std::int64_t columns, std::int64_t periods) {
  if (columns <= 0 || periods <= 0) return {};
  PeriodSpan span{column * periods / columns, (column + 1) * periods / columns};
  if (span.End <= span.First) span.End = span.First + 1;
  return span;
}

void InterleaveMap::Count(int row, SectorOwner owner, std::int64_t sectors) {
  for (Tally& t : tallies_[row]) {
    if (t.Owner == owner) {
      t.Count += sectors;
      return;
    }
  }
  tallies_[row].push_back({owner, sectors});
}

// Sectors [first, end): where the owners repeat every period, one owner per row stands for
// all of the row's sectors; elsewhere every sector is asked for.
void InterleaveMap::CountStretch(std::int64_t first, std::int64_t end) {
  for (std::int64_t s = first; s < end;) {
    const std::int64_t stretchEnd = std::min(owners_.StretchEnd(s), end);
    if (owners_.RepeatsEvery32(s) && stretchEnd - s >= kPeriod) {
      for (int i = 0; i < kMapRows; ++i) {
        const std::int64_t sector = s + i;
        Count(static_cast<int>(sector % kPeriod), owners_.OwnerOf(sector),
              SectorsInRow(s, stretchEnd, static_cast<int>(sector % kPeriod)));
      }
    } else {
      for (std::int64_t t = s; t < stretchEnd; ++t)
        Count(static_cast<int>(t % kPeriod), owners_.OwnerOf(t), 1);
    }
    s = stretchEnd;
  }
}

void InterleaveMap::MarkProposal(std::int64_t first, std::int64_t end, MapColumn& column) {
  const ChannelRecord& p = *proposal_;
  if (p.Interleave <= 0) return;
  const std::int64_t last = std::min(end, RecordEnd(p));
  for (std::int64_t s = NextStep(p, first); s < last; s += p.Interleave) {
    const std::uint32_t bit = 1u << (s % kPeriod);
    column.Proposed |= bit;
    if (collisions_->At(s)) column.Colliding |= bit;
  }
}

MapColumn InterleaveMap::Summarize(PeriodSpan span) {
  MapColumn column;
  const std::int64_t first = std::max<std::int64_t>(span.First * kPeriod, 0);
  const std::int64_t end = std::min(span.End * kPeriod, std::int64_t{xa_.SectorCount});
  for (auto& row : tallies_) row.clear();
  CountStretch(first, end);
  for (int row = 0; row < kMapRows; ++row) {
    const Tally* best = nullptr;
    for (const Tally& t : tallies_[row]) {
      if (!best || Beats(t.Owner, t.Count, best->Owner, best->Count)) best = &t;
    }
    if (!best) continue;
    column.Owner[row] = best->Owner;
    column.Present |= 1u << row;
  }
  // The proposal may reach past the file's end.
  if (proposal_) MarkProposal(first, std::max<std::int64_t>(span.End * kPeriod, 0), column);
  return column;
}

std::int64_t InterleaveMap::PeriodsShown() const {
  const std::int64_t periods = PeriodCount(xa_);
  if (!proposal_ || proposal_->Interleave <= 0 || proposal_->SectorCount <= 0) return periods;
  return std::max(periods, (RecordEnd(*proposal_) + kPeriod - 1) / kPeriod);
}

bool InterleaveMap::ProposalHolds(std::int64_t sector) const {
  if (!proposal_ || proposal_->Interleave <= 0) return false;
  const ChannelRecord& p = *proposal_;
  return sector >= p.FirstSector && sector < RecordEnd(p) &&
         (sector - p.FirstSector) % p.Interleave == 0;
}

bool InterleaveMap::ProposalCollidesAt(std::int64_t sector) {
  return ProposalHolds(sector) && collisions_->At(sector);
}

MapRgb ChannelColour(int channel) {
  // Golden-ratio steps around the hue circle, kept out of the reds around 0.
  const double step = std::fmod(channel * 0.6180339887, 1.0);
  const double hue = 0.08 + step * 0.84;
  const double value = channel % 2 == 0 ? 0.92 : 0.78;
  return FromHsv(hue, 0.6, value);
}

MapRgb OwnerColour(const XaFile& xa, const SectorOwner& owner) {
  switch (owner.Kind) {
    case OwnerKind::Audio:
    case OwnerKind::AudioPostGap:
      return ChannelColour(xa.AudioChannelTable.Records[owner.Record].Channel);
    case OwnerKind::Data:
    case OwnerKind::DataPostGap:
      return kDataColour;
    case OwnerKind::Empty:
      break;
  }
  return kEmptyColour;
}

}  // namespace sorvane
