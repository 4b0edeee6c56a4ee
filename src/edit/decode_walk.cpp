#include "edit/decode_walk.h"

#include <algorithm>
#include <limits>

#include "codec/adpcm_filters.h"

namespace sorvane {

void SelectDecodeChannel(DecodeCursor& cursor, const ChannelRecord& record) {
  cursor.Record = record;
  cursor.Current = record.FirstSector;
  cursor.End = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(RecordEnd(record), std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

WalkStep ReadNextChannelSector(XaFile& xa, DecodeCursor& cursor, std::uint8_t* sector,
                               SectorInfo& info) {
  for (int tried = 0; tried < kSearchSectors; ++tried) {
    if (cursor.Current >= cursor.End) return WalkStep::End;
    const std::int32_t index = cursor.Current++;
    // Sectors passed over need only their subheader, which a sequential walk gets from the
    // file's read-ahead; the whole sector is read only when it is one of the channel's.
    if (ReadSubheader(xa, index, info) != 0) return WalkStep::Failed;
    if (info.Kind != SectorAudio || info.Channel != cursor.Record.Channel) continue;
    if (ReadSector(xa, index, sector, info) != 0) return WalkStep::Failed;
    return WalkStep::Decoded;
  }
  return WalkStep::Searching;
}

WalkStep DecodeNextSector(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                          std::uint8_t* out) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  const WalkStep step = ReadNextChannelSector(xa, cursor, sector, info);
  if (step != WalkStep::Decoded) return step;
  // The sector's own flag decides: the block is 9408 bytes either way.
  if (info.Stereo) {
    DecodeStereoSector(state, sector + kGroupsOffset, out);
  } else {
    DecodeMonoSector(state, sector + kGroupsOffset, out);
  }
  return WalkStep::Decoded;
}

WalkStep DecodeNextValues(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                          SectorValues& values) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  const WalkStep step = ReadNextChannelSector(xa, cursor, sector, info);
  if (step == WalkStep::Decoded)
    DecodeSectorValues(state, sector + kGroupsOffset, info.Stereo != 0, values);
  return step;
}

}  // namespace sorvane
