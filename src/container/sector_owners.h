// Which record owns each sector of the file, as the placement rules see the channel tables:
// the audio table in table order first, then the data runs; a sector that no record owns
// but that lies in a record's post-gap (in its own slots) is that record's post-gap.
// Everything is worked out from the tables; no sector is read.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "container/xa_file.h"

namespace sorvane {

enum class OwnerKind : std::uint8_t { Audio, Data, AudioPostGap, DataPostGap, Empty };

struct SectorOwner {
  OwnerKind Kind = OwnerKind::Empty;
  // Index in AudioChannelTable (Audio, AudioPostGap) or DataRunTable (Data, DataPostGap).
  std::int16_t Record = -1;

  bool operator==(const SectorOwner&) const = default;
  bool IsPostGap() const {
    return Kind == OwnerKind::AudioPostGap || Kind == OwnerKind::DataPostGap;
  }
};

// The owner as one number: the channel number of the audio record, then these.
inline constexpr int kOwnerDataRun = -1;
inline constexpr int kOwnerPostGap = -2;
inline constexpr int kOwnerEmpty = -3;
int OwnerCode(const XaFile& xa, const SectorOwner& owner);

// Names the owners of sectors in any order; cheapest when they are asked for rising. Holds
// only the records that matter between two neighbouring starts or ends of a record or of a
// post-gap, so its memory does not grow with the file.
class SectorOwnerWalk {
 public:
  explicit SectorOwnerWalk(const XaFile& xa) : xa_(xa) {}

  SectorOwner OwnerOf(std::int64_t sector);
  // The tables may have changed: look at them again on the next question.
  void Forget() { first_ = end_ = 0; }
  // The first sector past `sector` at which a record or a post-gap starts or ends; up to
  // there the same records are in play.
  std::int64_t StretchEnd(std::int64_t sector);
  // True when, up to StretchEnd, the owner of a sector depends only on its slot (the
  // sector modulo 32): every record in play has an interleave dividing 32.
  bool RepeatsEvery32(std::int64_t sector);
  // The slots that recorded channels, data runs and their post-gaps hold at `sector` as
  // the placement rules see them: each holds all slots of its interleave from its start
  // until its post-gap ends.
  std::uint32_t HeldSlots(std::int64_t sector);
  // The slots held at any sector of [first, end).
  std::uint32_t HeldSlotsBetween(std::int64_t first, std::int64_t end);

 private:
  struct Held {
    const ChannelRecord* Record;
    SectorOwner Owner;
  };
  void Locate(std::int64_t sector);
  void Consider(const ChannelRecord& r, SectorOwner owner, SectorOwner gapOwner,
                std::int64_t sector);

  const XaFile& xa_;
  std::int64_t first_ = 0;  // the stretch [first_, end_) that owners_ and gaps_ describe
  std::int64_t end_ = 0;
  bool repeats_ = true;
  std::uint32_t held_ = 0;
  std::array<Held, 2 * kMaxRecords> owners_{};
  int ownerCount_ = 0;
  std::array<Held, 2 * kMaxRecords> gaps_{};
  int gapCount_ = 0;
};

// Where a proposed record collides as the placement rules see it. A proposed sector s
// stands for the proposal's hold of all the slots of its interleave from s to its next
// sector; it collides when a recorded channel, data run or post-gap holds one of those
// slots in that time (also when the sector's own slot is free), and so does the sector
// where CheckCollision finds the proposal colliding. So a refused proposal always shows
// a collision.
class ProposalCollisions {
 public:
  ProposalCollisions(const XaFile& xa, const ChannelRecord& proposal);
  // `sector` is one of the proposal's sectors.
  bool At(std::int64_t sector);

 private:
  SectorOwnerWalk walk_;
  std::int64_t interleave_;
  std::uint32_t slots_;
  std::int64_t refusedAt_ = -1;  // the proposed sector where CheckCollision refuses
};

// All the colliding sectors of a proposal, rising.
std::vector<std::int64_t> CollidingSectors(const XaFile& xa, const ChannelRecord& proposal);

}  // namespace sorvane
