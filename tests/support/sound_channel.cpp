#include "support/sound_channel.h"

#include "codec/adpcm_decoder.h"
#include "codec/adpcm_filters.h"
#include "edit/decode_walk.h"

namespace sorvane::testing {

SoundData VariedSound(int seed) {
  SoundData data;
  for (int group = 0; group < SoundData::kGroups; ++group) {
    for (int unit = 0; unit < 8; ++unit) {
      data.Parameter(group, unit, unit % 2, 6 + (seed + group + unit) % 4);
      for (int k = 0; k < 28; ++k) {
        data.Nibble(group, unit, k, (k * 7 + seed * 3 + group + unit) % 15 - 7);
      }
    }
  }
  return data;
}

XaBuilder SoundChannelFile(int sectors, const ChannelRecord& record) {
  XaBuilder builder(sectors);
  builder.Channel(record.Channel, record.HighRate, record.Stereo, record.FirstSector,
                  record.Interleave, record.SectorCount);
  for (int k = 0; k < record.SectorCount; ++k) {
    builder.Payload(record.FirstSector + k * record.Interleave, VariedSound(k).Payload());
  }
  return builder;
}

XaBuilder FilledSoundFile(int sectors) {
  XaBuilder builder(sectors);
  for (int s = 0; s < sectors; ++s) {
    builder.Subheader(s, 1, static_cast<std::uint8_t>(s % 8), 0x64, 0x05);
    builder.Payload(s, VariedSound(s).Payload());
  }
  return builder;
}

ChannelRecord SoundRecord(int channel, bool highRate, bool stereo, int first, int interleave,
                          int count) {
  ChannelRecord r;
  r.Channel = static_cast<std::uint8_t>(channel);
  r.HighRate = highRate ? 1 : 0;
  r.Stereo = stereo ? 1 : 0;
  r.FirstSector = first;
  r.SectorCount = count;
  r.Interleave = interleave;
  return r;
}

std::vector<std::string> ReferenceBlocks(XaFile& xa, const ChannelRecord& record) {
  DecoderState state;
  DecodeCursor cursor;
  SelectDecodeChannel(cursor, record);
  std::vector<std::string> blocks;
  std::string block(kPcmBlockBytes, '\0');
  for (;;) {
    const WalkStep step =
        DecodeNextSector(xa, cursor, state, reinterpret_cast<std::uint8_t*>(block.data()));
    if (step == WalkStep::Decoded) blocks.push_back(block);
    if (step == WalkStep::End || step == WalkStep::Failed) return blocks;
  }
}

std::string Sounding(const std::string& pcm) {
  std::string kept;
  for (std::size_t at = 0; at + 4 <= pcm.size(); at += 4) {
    const std::string frame = pcm.substr(at, 4);
    if (frame.find_first_not_of('\0') != std::string::npos) kept += frame;
  }
  return kept;
}

}  // namespace sorvane::testing
