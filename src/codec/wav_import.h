// Replacing a channel's sound from a WAV file in place, and erasing a channel. The channel
// keeps its sectors, their subheaders and its interleave slots; only the sound groups are
// rewritten, sectors are added at interleave steps or emptied when the length changes.
#pragma once

#include <cstdint>
#include <string>

#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/xa_file.h"
#include "edit/encode_from_wav.h"
#include "input/wav_reader.h"

namespace sorvane {

// The channel of the next import or erase, and the limits of the three passes.
struct EncodeCursor {
  ChannelRecord Channel;           // copy of the selected entry
  ChannelRecord* Entry = nullptr;  // the table entry; a new SectorCount goes to both
  std::int32_t Cursor = 0;         // current sector
  std::int32_t ClearEnd = 0;       // the third pass empties the channel's sectors below it
  std::int32_t GrowEnd = 0;        // the second pass adds sectors below it
  std::int32_t ReuseEnd = 0;       // the first pass re-encodes the channel's sectors below it
  std::int32_t LastWritten = 0;    // last sector that received sound
  bool DataOverwriteConfirmed = false;
  bool AudioOverwriteConfirmed = false;
};

// The import's state for the whole run; the encoder's histories are never reset.
struct Importer {
  EncodeCursor Cursor;
  EncoderState Encoder;
  WavReader Reader;
};

// Makes `entry` the channel of the next pass. LastWritten becomes one interleave step
// before the first sector: nothing written yet.
void SelectChannel(EncodeCursor& cursor, ChannelRecord& entry);

// Imports a WAV file into the selected channel. 0: done, or stopped by the user (the
// length dialog, the progress window's cancel); -1: failed or an overwrite question was
// answered "キャンセル" (LastErrorText says which). What was written stays written.
int ImportWav(XaFile& xa, Importer& importer, const std::string& path, ProgressMonitor& progress,
              Prompter& prompter);

// Turns every sector of the selected channel, from its first sector to its end, into an
// empty sector. 0 done or cancelled, -1 on a sector access failure.
int EraseChannel(XaFile& xa, EncodeCursor& cursor, ProgressMonitor& progress);

// One step of a pass: 0 one sector written, 1 kSearchSteps sectors passed without one to
// handle (call again), 2 the limit was reached, -1 failure with LastErrorText set.
int EncodeNextChannelSector(XaFile& xa, Importer& importer, std::int32_t limit);
int EncodeNewSector(XaFile& xa, Importer& importer, Prompter& prompter, std::int32_t limit,
                    const SectorInfo& sectorTemplate);
int ClearNextChannelSector(XaFile& xa, EncodeCursor& cursor, std::int32_t limit);
// Sets the end-of-file bit on the last sector written; 0 or -1.
int MarkChannelEnd(XaFile& xa, const EncodeCursor& cursor);

}  // namespace sorvane
