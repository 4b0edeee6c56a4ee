#include "container/sector_owners.h"

#include <limits>

#include "container/placement.h"

namespace sorvane {
namespace {

bool OnStep(std::int64_t sector, const ChannelRecord& r) {
  return (sector - r.FirstSector) % r.Interleave == 0;
}

SectorOwner FirstOnStep(std::int64_t sector, const auto& held, int count) {
  for (int i = 0; i < count; ++i) {
    if (OnStep(sector, *held[i].Record)) return held[i].Owner;
  }
  return {};
}

}  // namespace

int OwnerCode(const XaFile& xa, const SectorOwner& owner) {
  switch (owner.Kind) {
    case OwnerKind::Audio:
      return xa.AudioChannelTable.Records[owner.Record].Channel;
    case OwnerKind::Data:
      return kOwnerDataRun;
    case OwnerKind::AudioPostGap:
    case OwnerKind::DataPostGap:
      return kOwnerPostGap;
    case OwnerKind::Empty:
      break;
  }
  return kOwnerEmpty;
}

void SectorOwnerWalk::Consider(const ChannelRecord& r, SectorOwner owner, SectorOwner gapOwner,
                               std::int64_t sector) {
  if (r.Interleave <= 0) return;
  const std::int64_t start = r.FirstSector;
  const std::int64_t end = RecordEnd(r);
  const std::int64_t gapEnd = PostGapEnd(xa_, r);
  for (std::int64_t edge : {start, end, gapEnd}) {
    if (edge <= sector && edge > first_) first_ = edge;
    if (edge > sector && edge < end_) end_ = edge;
  }
  const bool owns = start <= sector && sector < end;
  const bool keepsGap = end <= sector && sector < gapEnd;
  if (owns || keepsGap) held_ |= SlotsOf(start, r.Interleave);
  if (owns) owners_[ownerCount_++] = {&r, owner};
  if (keepsGap) gaps_[gapCount_++] = {&r, gapOwner};
  if ((owns || keepsGap) && 32 % r.Interleave != 0) repeats_ = false;
}

void SectorOwnerWalk::Locate(std::int64_t sector) {
  if (sector >= first_ && sector < end_) return;
  first_ = std::numeric_limits<std::int64_t>::min();
  end_ = std::numeric_limits<std::int64_t>::max();
  repeats_ = true;
  held_ = 0;
  ownerCount_ = 0;
  gapCount_ = 0;
  for (int i = 0; i < xa_.AudioChannelTable.Count; ++i) {
    const auto index = static_cast<std::int16_t>(i);
    Consider(xa_.AudioChannelTable.Records[i], {OwnerKind::Audio, index},
             {OwnerKind::AudioPostGap, index}, sector);
  }
  for (int i = 0; i < xa_.DataRunTable.Count; ++i) {
    const auto index = static_cast<std::int16_t>(i);
    Consider(xa_.DataRunTable.Records[i], {OwnerKind::Data, index}, {OwnerKind::DataPostGap, index},
             sector);
  }
}

SectorOwner SectorOwnerWalk::OwnerOf(std::int64_t sector) {
  Locate(sector);
  const SectorOwner owner = FirstOnStep(sector, owners_, ownerCount_);
  if (owner.Kind != OwnerKind::Empty) return owner;
  return FirstOnStep(sector, gaps_, gapCount_);
}

std::int64_t SectorOwnerWalk::StretchEnd(std::int64_t sector) {
  Locate(sector);
  return end_;
}

bool SectorOwnerWalk::RepeatsEvery32(std::int64_t sector) {
  Locate(sector);
  return repeats_;
}

std::uint32_t SectorOwnerWalk::HeldSlots(std::int64_t sector) {
  Locate(sector);
  return held_;
}

std::uint32_t SectorOwnerWalk::HeldSlotsBetween(std::int64_t first, std::int64_t end) {
  std::uint32_t held = 0;
  for (std::int64_t s = first; s < end; s = StretchEnd(s)) held |= HeldSlots(s);
  return held;
}

ProposalCollisions::ProposalCollisions(const XaFile& xa, const ChannelRecord& proposal)
    : walk_(xa),
      interleave_(proposal.Interleave),
      slots_(SlotsOf(proposal.FirstSector, proposal.Interleave)) {
  const std::optional<std::int64_t> refused = CollisionPosition(xa, proposal);
  if (refused && interleave_ > 0) {
    const std::int64_t p = proposal.FirstSector;
    refusedAt_ = p + (*refused - p) / interleave_ * interleave_;
  }
}

bool ProposalCollisions::At(std::int64_t sector) {
  return sector == refusedAt_ || (walk_.HeldSlotsBetween(sector, sector + interleave_) & slots_);
}

std::vector<std::int64_t> CollidingSectors(const XaFile& xa, const ChannelRecord& proposal) {
  std::vector<std::int64_t> colliding;
  if (proposal.Interleave <= 0) return colliding;
  ProposalCollisions collisions(xa, proposal);
  const std::int64_t end = RecordEnd(proposal);
  for (std::int64_t s = proposal.FirstSector; s < end; s += proposal.Interleave) {
    if (collisions.At(s)) colliding.push_back(s);
  }
  return colliding;
}

}  // namespace sorvane
