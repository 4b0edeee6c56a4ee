// The interleave map: the file's sectors as the disc reads them, one column for each run of
// periods of 32 sectors and one row for each slot of a period, every cell naming the owner
// of most of its sectors. The editor's map view and `sorvane-cli map` draw these columns;
// they are summed up from the channel tables, never by reading sectors.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "container/sector_owners.h"
#include "container/xa_file.h"

namespace sorvane {

inline constexpr int kMapRows = 32;

struct MapColumn {
  std::array<SectorOwner, kMapRows> Owner{};  // the owner of most of the row's sectors
  std::uint32_t Present = 0;                  // rows holding at least one sector of the file
  std::uint32_t Proposed = 0;                 // rows holding a sector of the proposed record
  std::uint32_t Colliding = 0;                // rows where a proposed sector collides
};

// Periods of 32 sectors that the file's sectors span (the last one may be partial).
std::int64_t PeriodCount(const XaFile& xa);

// The periods [First, End) that column `column` of `columns` equal shares stands for; a
// column narrower than one period shows the period it falls in.
struct PeriodSpan {
  std::int64_t First = 0;
  std::int64_t End = 0;
};
PeriodSpan ColumnPeriods(std::int64_t column, std::int64_t columns, std::int64_t periods);

class InterleaveMap {
 public:
  explicit InterleaveMap(const XaFile& xa) : xa_(xa), owners_(xa) {}

  // The record the append dialog proposes, drawn over the file with its collisions.
  void Propose(const ChannelRecord& proposal) {
    proposal_ = proposal;
    collisions_.emplace(xa_, proposal);
  }
  void ClearProposal() {
    proposal_.reset();
    collisions_.reset();
  }
  const std::optional<ChannelRecord>& Proposal() const { return proposal_; }
  // The periods to draw: the file's, and on to the proposal's end where it lies beyond
  // (an append there grows the file).
  std::int64_t PeriodsShown() const;

  // The tables may have changed since the last question.
  void Forget() {
    owners_.Forget();
    if (proposal_) collisions_.emplace(xa_, *proposal_);
  }
  // The periods [span.First, span.End) summed up into one column.
  MapColumn Summarize(PeriodSpan span);
  SectorOwner OwnerOf(std::int64_t sector) { return owners_.OwnerOf(sector); }
  // True when `sector` belongs to the proposal and an owner already holds it.
  bool ProposalCollidesAt(std::int64_t sector);
  bool ProposalHolds(std::int64_t sector) const;

 private:
  struct Tally {
    SectorOwner Owner;
    std::int64_t Count;
  };
  void Count(int row, SectorOwner owner, std::int64_t sectors);
  void CountStretch(std::int64_t first, std::int64_t end);
  void MarkProposal(std::int64_t first, std::int64_t end, MapColumn& column);

  const XaFile& xa_;
  SectorOwnerWalk owners_;
  std::optional<ChannelRecord> proposal_;
  std::optional<ProposalCollisions> collisions_;
  std::array<std::vector<Tally>, kMapRows> tallies_;
};

// Colours of the map, shared by the editor and the terminal.
struct MapRgb {
  std::uint8_t R, G, B;
  bool operator==(const MapRgb&) const = default;
};
// Each channel number its own colour, the same whatever else the file holds; neighbouring
// numbers far apart in hue, none of them the collision red.
MapRgb ChannelColour(int channel);
inline constexpr MapRgb kDataColour{160, 160, 160};
inline constexpr MapRgb kEmptyColour{255, 255, 255};
inline constexpr MapRgb kProposalColour{0, 0, 0};
inline constexpr MapRgb kCollisionColour{230, 0, 0};
// The colour of an owner: its channel's, grey for data runs and their post-gaps, white.
MapRgb OwnerColour(const XaFile& xa, const SectorOwner& owner);

}  // namespace sorvane
