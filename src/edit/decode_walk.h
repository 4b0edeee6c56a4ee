// The walk over one channel's audio sectors that feeds the decoder: each sector of the
// channel becomes one 9408-byte PCM block (codec/adpcm_decoder.h).
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

// Decodes the next audio sector of the selected channel into `out` (kPcmBlockBytes bytes),
// choosing mono or stereo by that sector's own subheader. Results: 0 one block written;
// 1 kSearchSectors sectors passed without one of the channel (call again); 2 the end sector
// was reached; -1 a sector read failed (xa.LastErrorText says why). Only 0 writes to `out`.
int DecodeNextSector(XaFile& xa, DecodeCursor& cursor, DecoderState& state, std::uint8_t* out);

}  // namespace sorvane
