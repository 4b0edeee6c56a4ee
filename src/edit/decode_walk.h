// The walk over one channel's sectors in file order that export and playback share: each
// audio sector of the channel is read and decoded to one 9408-byte PCM block.
#pragma once

#include <cstdint>

#include "codec/adpcm_decoder.h"
#include "container/xa_file.h"

namespace sorvane {

inline constexpr int kSearchSectors = 32;  // sectors tried per DecodeNextSector call

// A pass over one channel: sectors Current..End-1 are searched one by one.
struct DecodeCursor {
  ChannelRecord Record;
  std::int32_t Current = 0;
  std::int32_t End = 0;  // exclusive: FirstSector + Interleave x SectorCount
};

void SelectDecodeChannel(DecodeCursor& cursor, const ChannelRecord& record);

// How far a DecodeNextSector call got.
enum class WalkStep { Decoded, Searching, End, Failed };

// Decodes the next audio sector of the selected channel into `out` (kPcmBlockBytes bytes),
// choosing mono or stereo by that sector's own subheader. Decoded: one block written;
// Searching: kSearchSectors sectors passed without one of the channel (call again); End: the
// end sector was reached; Failed: a sector read failed (xa.LastErrorText says why). Only
// Decoded writes to `out`.
WalkStep DecodeNextSector(XaFile& xa, DecodeCursor& cursor, DecoderState& state, std::uint8_t* out);

// Reads the next audio sector of the selected channel into `sector` (kSectorBytes) and
// `info` without decoding it; the steps as DecodeNextSector's, Decoded meaning that a sector
// was read.
WalkStep ReadNextChannelSector(XaFile& xa, DecodeCursor& cursor, std::uint8_t* sector,
                               SectorInfo& info);

// DecodeNextSector's first half: the values of the next audio sector, not yet resampled
// (ResampleSector makes the block of them). Only Decoded writes to `values`.
WalkStep DecodeNextValues(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                          SectorValues& values);

}  // namespace sorvane
