#include "container/placement.h"

#include <algorithm>
#include <array>

namespace sorvane {
namespace {

constexpr int kSlots = 32;

enum PlacementEventKind : std::int32_t { ChannelStart = 0, ChannelEnd = 1, GapEnd = 2 };

// Where a recorded channel starts, ends, and where its post-gap ends.
struct PlacementEvent {
  PlacementEventKind Kind;
  std::int64_t Position;
  const ChannelRecord* Record;
};

// Busy flags of the slots 0..31 (sector numbers modulo 32), one bit per slot.
struct SlotMap {
  std::uint32_t Busy = 0;
};

// Up to three events for each record of both tables.
struct EventList {
  std::array<PlacementEvent, 3 * 2 * kMaxRecords> Events;
  int Count = 0;

  PlacementEvent* begin() { return Events.data(); }
  PlacementEvent* end() { return Events.data() + Count; }
};

std::int64_t Remainder(std::int64_t position, std::int64_t interleave) {
  std::int64_t r = position % interleave;
  return r < 0 ? r + interleave : r;
}

void BuildEvents(const XaFile& xa, const ChannelRecord* excluded, EventList& list) {
  list.Count = 0;
  for (const ChannelTable* table : {&xa.AudioChannelTable, &xa.DataRunTable}) {
    for (const ChannelRecord& r : *table) {
      if (&r == excluded) continue;
      list.Events[list.Count++] = {ChannelStart, r.FirstSector, &r};
      list.Events[list.Count++] = {ChannelEnd, RecordEnd(r), &r};
      list.Events[list.Count++] = {GapEnd, PostGapEnd(xa, r), &r};
    }
  }
  // At one position a post-gap frees its slots before a channel that starts there takes them.
  std::stable_sort(list.begin(), list.end(), [](const PlacementEvent& a, const PlacementEvent& b) {
    if (a.Position != b.Position) return a.Position < b.Position;
    return a.Kind > b.Kind;
  });
}

void Apply(const PlacementEvent& event, SlotMap& map) {
  const std::uint32_t slots = SlotsOf(event.Position, event.Record->Interleave);
  if (event.Kind == ChannelStart) map.Busy |= slots;
  if (event.Kind == GapEnd) map.Busy &= ~slots;
}

std::int64_t TrialEnd(const ChannelRecord& trial) {
  return std::int64_t{trial.Interleave} * trial.SectorCount + trial.FirstSector;
}

// A recorded channel that starts at or before P and still holds its slots at P.
bool StartsInsideHeldSlots(const EventList& list, std::int64_t p, std::uint32_t trialSlots) {
  for (int i = 0; i < list.Count; ++i) {
    const PlacementEvent& v = list.Events[i];
    if (v.Kind != GapEnd) continue;
    const ChannelRecord& r = *v.Record;
    if (r.FirstSector <= p && v.Position > p && (SlotsOf(r.FirstSector, r.Interleave) & trialSlots))
      return true;
  }
  return false;
}

// The look-ahead of the free-start search: no later channel starts on a candidate's sector.
bool NoLaterStartOnSectors(const EventList& list, int from, std::int64_t q,
                           const ChannelRecord& trial) {
  const std::int64_t d = trial.Interleave;
  const std::int64_t end = d * trial.SectorCount + q;
  for (int i = from; i < list.Count; ++i) {
    const PlacementEvent& v = list.Events[i];
    if (v.Kind != ChannelStart) continue;
    if (v.Position >= end) return true;
    if ((v.Position - q) % d == 0) return false;
  }
  return true;
}

// Lowest residue whose whole slot class is free and whose candidate passes the look-ahead.
bool TryResidues(const EventList& list, int from, const SlotMap& map, std::int64_t s,
                 ChannelRecord& trial) {
  const std::int64_t d = trial.Interleave;
  for (std::int64_t a = 0; a < d; ++a) {
    if (SlotsOf(a, d) & map.Busy) continue;
    const std::int64_t q = (s & ~(d - 1)) | a;
    if (NoLaterStartOnSectors(list, from, q, trial)) {
      trial.FirstSector = static_cast<std::int32_t>(q);
      return true;
    }
  }
  return false;
}

}  // namespace

std::uint32_t SlotsOf(std::int64_t position, std::int64_t interleave) {
  if (interleave <= 0) return 0;
  std::uint32_t mask = 0;
  for (std::int64_t k = Remainder(position, interleave); k < kSlots; k += interleave)
    mask |= 1u << k;
  return mask;
}

std::int64_t PostGapEnd(const XaFile& xa, const ChannelRecord& r) {
  const std::int64_t e = r.Interleave;
  if (e == 0) return RecordEnd(r);
  return e * ((xa.ChannelPostGap + e - 1) / e) + RecordEnd(r);
}

std::optional<std::int64_t> CollisionPosition(const XaFile& xa, const ChannelRecord& trial) {
  EventList list;
  BuildEvents(xa, nullptr, list);
  if (list.Count == 0) return std::nullopt;
  const std::int64_t p = trial.FirstSector;
  const std::int64_t t = TrialEnd(trial);
  const std::uint32_t trialSlots = SlotsOf(p, trial.Interleave);
  if (StartsInsideHeldSlots(list, p, trialSlots)) return p;
  SlotMap map;
  for (const PlacementEvent& v : list) {
    Apply(v, map);
    if (t <= v.Position) return std::nullopt;
    if (v.Position < p) continue;
    if (map.Busy & trialSlots) return v.Position;
  }
  return std::nullopt;
}

int CheckCollision(const XaFile& xa, const ChannelRecord& trial) {
  return CollisionPosition(xa, trial) ? -1 : 0;
}

int CheckCollisionExcept(const XaFile& xa, ChannelRecord& trial, const ChannelRecord* excluded) {
  EventList list;
  BuildEvents(xa, excluded, list);
  const std::int64_t p = trial.FirstSector;
  const std::int64_t t = TrialEnd(trial);
  const std::uint32_t trialSlots = SlotsOf(p, trial.Interleave);
  SlotMap map;
  for (const PlacementEvent& v : list) {
    Apply(v, map);
    if (t <= v.Position) return 0;
    if (v.Kind != ChannelStart || v.Position < p) continue;
    if (map.Busy & trialSlots) {
      trial.SectorCount = static_cast<std::int32_t>((v.Position - p) / trial.Interleave);
      return -1;
    }
  }
  return 0;
}

int FindFreeStart(const XaFile& xa, ChannelRecord& trial) {
  if (trial.FirstSector > 0 && CheckCollision(xa, trial) == 0) return 0;
  EventList list;
  BuildEvents(xa, nullptr, list);
  if (list.Count == 0 || trial.Interleave <= 0) {
    trial.FirstSector = 0;
    return 0;
  }
  // A proposal never lies before the file's first sector.
  std::int64_t s = trial.FirstSector > 0 ? trial.FirstSector : 0;
  SlotMap map;
  for (int i = 0; i < list.Count; ++i) {
    const PlacementEvent& v = list.Events[i];
    if (v.Position >= s && TryResidues(list, i, map, s, trial)) return 0;
    Apply(v, map);
    if (v.Position > s) s = v.Position;
  }
  // Past the last event only the last channels' slots can be busy.
  const std::int64_t d = trial.Interleave;
  for (std::int64_t a = 0; a < d; ++a) {
    if (SlotsOf(a, d) & map.Busy) continue;
    std::int64_t q = (s & ~(d - 1)) | a;
    if (q < s) q += d;
    trial.FirstSector = static_cast<std::int32_t>(q);
    return 0;
  }
  trial.FirstSector = static_cast<std::int32_t>(s + d - Remainder(s, d));
  return 0;
}

}  // namespace sorvane
