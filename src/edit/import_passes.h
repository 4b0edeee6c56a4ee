// Replacing a channel's sound in place, and erasing a channel: the passes over the channel's
// sectors that the import, append and delete commands share. The channel keeps its
// sectors, their subheaders and its interleave slots; only the sound groups are rewritten,
// sectors are added at interleave steps or emptied when the length changes.
#pragma once

#include <cstdint>
#include <string>

#include "codec/adpcm_encoder.h"
#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/xa_file.h"
#include "input/audio_file.h"
#include "input/frame_source.h"

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
  bool CutToFile = false;  // the file's size could not follow the sound: it was cut to the file
};

// How much of its source the last import wrote, as spans of the file's sectors (sector count
// times interleave, as the list shows a playing time).
struct SoundCut {
  std::int64_t SourceSpan = 0;
  std::int64_t WrittenSpan = 0;
  bool ByFileSize = false;  // the file's size setting cut it
  bool Cut() const { return WrittenSpan < SourceSpan; }
};

// The import's state for the whole run; the encoder's histories are never reset.
// HighQuality chooses libsoxr's rate conversion and the searching encoder for what follows.
// TwoThreads encodes on two threads besides the calling one (the same bytes either way).
struct Importer {
  EncodeCursor Cursor;
  EncoderState Encoder;
  AudioFile Reader;
  bool HighQuality = false;
  bool TwoThreads = true;
  bool SourceFailed = false;  // this edit's import stopped: its source could not be read
  SoundCut LastCut;           // what the last import wrote of its source
};

// "" when the last import wrote all of its source; otherwise what it wrote, both lengths as
// the list writes playing times ("WAVデータを切り詰めて書き込みました: 0:08.00 → 0:06.14"), and
// when the file's size setting cut it (not inside a disc image), that 設定 changes that.
std::string SoundCutReport(const XaFile& xa, const SoundCut& cut);
// The report's parts, for a front end that translates its texts: both lengths
// ("0:08.00 → 0:06.14"), and whether the report names 設定.
std::string SoundCutLengths(const SoundCut& cut);
bool SoundCutNamesSettings(const XaFile& xa, const SoundCut& cut);

// Makes `entry` the channel of the next pass. LastWritten becomes one interleave step
// before the first sector: nothing written yet.
void SelectChannel(EncodeCursor& cursor, ChannelRecord& entry);

// Encodes `source`, from its start, into the selected channel, asking through the length
// dialog when the lengths differ. Done; Cancelled: the length dialog or the progress
// display was cancelled; Declined: an overwrite question was answered "キャンセル"
// (LastErrorText "キャンセルしました。"); Failed: LastErrorText says why ("読み取りエラー"
// when the source failed part-way). What was written
// stays written. The file's size is not adjusted afterwards.
Outcome ImportFrames(XaFile& xa, Importer& importer, FrameSource& source, ProgressMonitor& progress,
                     Prompter& prompter);

// ImportFrames from the audio file at `path`, read through importer.Reader; Failed with the
// WAV reader's message when neither reader can read it.
Outcome ImportWav(XaFile& xa, Importer& importer, const std::string& path,
                  ProgressMonitor& progress, Prompter& prompter);

// Turns every sector of the selected channel, from its first sector to its end, into an
// empty sector. Done, Cancelled (the sectors not yet reached keep their sound) or Failed
// on a sector access failure.
Outcome EraseChannel(XaFile& xa, EncodeCursor& cursor, ProgressMonitor& progress);

}  // namespace sorvane
