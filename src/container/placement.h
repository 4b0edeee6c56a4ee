// Placement of channels in the 32 interleave slots: where a new channel fits, and how far
// a channel may grow, against every recorded channel and its post-gap.
#pragma once

#include <cstdint>
#include <optional>

#include "container/xa_file.h"

namespace sorvane {

// Rewrites trial.FirstSector with a free start at or near the wanted one (its value on
// entry). A wanted start above 0 that is free is kept.
int FindFreeStart(const XaFile& xa, ChannelRecord& trial);

// -1 when the trial collides with a recorded channel or its post-gap, else 0.
int CheckCollision(const XaFile& xa, const ChannelRecord& trial);
// Where CheckCollision finds the trial colliding: the trial's start, or the position of the
// event at which one of its slots is busy; nothing when it does not collide.
std::optional<std::int64_t> CollisionPosition(const XaFile& xa, const ChannelRecord& trial);

// As CheckCollision for a recorded channel that grows, leaving `excluded` out; on -1 the
// trial's SectorCount is cut to the sectors that fit before the colliding start.
int CheckCollisionExcept(const XaFile& xa, ChannelRecord& trial, const ChannelRecord* excluded);

// The slots (bits 0..31, sector numbers modulo 32) of sectors congruent to `position`
// modulo `interleave`: what a channel starting there holds in every period.
std::uint32_t SlotsOf(std::int64_t position, std::int64_t interleave);

// Where a recorded channel's post-gap ends: the file's ChannelPostGap raised to whole
// interleave steps after the channel's end. Up to there the channel holds its slots.
std::int64_t PostGapEnd(const XaFile& xa, const ChannelRecord& r);

}  // namespace sorvane
