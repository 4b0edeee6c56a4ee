// XA files holding a channel of varied, non-silent sound, and the PCM a fresh decoder makes
// of it: for tests that follow decoded sound through playback or export.
#pragma once

#include <string>
#include <vector>

#include "container/xa_file.h"
#include "support/sound_data.h"
#include "support/xa_builder.h"

namespace sorvane::testing {

// Sound that differs from sector to sector (`seed`) and decodes to non-zero samples:
// filters 0 and 1 only, so the values never run away.
SoundData VariedSound(int seed);

// A file of `sectors` sectors with one channel whose sector k holds VariedSound(k).
XaBuilder SoundChannelFile(int sectors, const ChannelRecord& record);

// A file whose every sector holds sound, as games fill their files: channels 0..7 of 18.9k
// stereo in the slots of interleave 8, sector s holding VariedSound(s).
XaBuilder FilledSoundFile(int sectors);

// A channel record of the given quality.
ChannelRecord SoundRecord(int channel, bool highRate, bool stereo, int first, int interleave,
                          int count);

// The 9408-byte blocks DecodeNextSector gives for `record` from a zero decoder state.
std::vector<std::string> ReferenceBlocks(XaFile& xa, const ChannelRecord& record);

// The 4-byte frames of `pcm` that are not silence. SDL's disk driver plays silence whenever
// its queue runs dry (a loaded machine may hold the player back), so what it played is
// compared without it, frame by frame.
std::string Sounding(const std::string& pcm);

}  // namespace sorvane::testing
