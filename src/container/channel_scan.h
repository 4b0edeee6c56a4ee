// The channel scan: fills the channel tables from the sector subheaders and derives the
// two post-gaps.
#pragma once

#include <cstdint>

#include "common/progress_monitor.h"
#include "container/xa_file.h"

namespace sorvane {

inline constexpr std::int32_t kWalkLimitOpen = 64;      // opening a file
inline constexpr std::int32_t kWalkLimitFull = 500000;  // "find all"
inline constexpr std::int32_t kDataRunInterleave = 32;
inline constexpr std::uint8_t kDataRunChannel = 255;

// Rebuilds both tables and both post-gaps from the first `walkLimit` sectors. A cancel
// keeps what was found and returns 0; -1 with LastErrorText on a read failure, a 257th
// record or an inconsistent interleave.
int ScanChannels(XaFile& xa, std::int32_t walkLimit, ProgressMonitor& monitor);

// Distance 1..32 to the next sector whose subheader equals `info` (ignoring the
// end-of-file bit); 0 when none, -1 on a read failure.
int FindInterleave(XaFile& xa, std::int32_t sector, const SectorInfo& info);

// Length of the run of sectors like `info` (kind and channel) from `first` in steps of
// `step`, by halving; -1 on a read failure.
std::int32_t MeasureExtent(XaFile& xa, std::int32_t first, std::int32_t step,
                           const SectorInfo& info);

// The record (audio table first, then data runs) owning `sector`, or nullptr.
ChannelRecord* FindRecordAt(XaFile& xa, std::int32_t sector);

bool IsChannelUsed(const XaFile& xa, std::uint8_t channel);

}  // namespace sorvane
