// The channel append: the proposal for a new channel, the logic of the append dialog as
// plain functions over what its controls hold, and the append itself. The editor's dialog
// and the command line both drive these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/xa_file.h"
#include "edit/workspace.h"
#include "input/frame_source.h"

namespace sorvane {

// What the append dialog's controls hold.
struct AppendDialogState {
  std::vector<std::string> TrackItems;  // "0" .. interleave - 1
  int TrackItem = -1;                   // -1: nothing selected
  std::string StartText;                // "%d.%d": seconds and sectors, cut to a whole cycle
  int SpeedItem = 0;                    // 0 normal, 1 double
  std::string ChannelText;
  int QualityItem = 0;
};

// nullptr when another channel can be added, else the refusal to show (the table is full).
const char* RefuseAppend(const XaFile& xa);

// Sectors the sound needs at the record's rate (sets the source's target rate).
std::int32_t SectorsForSound(FrameSource& sound, const ChannelRecord& record);

// The proposal for a sound: quality from the sound, speed of the last channel, the next
// free channel number, the sector count, interleave and a free start from 0.
ChannelRecord ProposeNewChannel(const XaFile& xa, FrameSource& sound);

// Record to controls, and the track list rebuilt for the selected quality and speed.
void ShowParams(const ChannelRecord& record, AppendDialogState& dialog);
void QualitySelChange(AppendDialogState& dialog);
// Controls to record, with the sector count recomputed from the sound.
void ReadParams(const AppendDialogState& dialog, FrameSource& sound, ChannelRecord& record);
// "検索": a free channel number and a free start from what was typed.
void FindButtonClick(const XaFile& xa, AppendDialogState& dialog, FrameSource& sound,
                     ChannelRecord& record);
// OK: nullptr when the record is acceptable (the dialog then shows the values as taken),
// else the refusal to show; the dialog stays and keeps what was typed.
const char* OKButtonClick(const XaFile& xa, AppendDialogState& dialog, FrameSource& sound,
                          ChannelRecord& record);

// After the dialog's OK: grows the file when the start lies past its end (asking under
// the resize permission), stamps the first sector, adds the channel with count 0 and
// imports the audio file into it. The file's size is not adjusted afterwards.
// Done; Cancelled: the progress display was cancelled (the channel stays, with what was
// written; no message). Declined, with the message in LastErrorText: the growth was asked
// and answered "キャンセル" (nothing changed), or an overwrite question was.
// Failed, with the message: the growth is forbidden (nothing changed), or a read or write
// failed.
Outcome AppendChannel(Workspace& workspace, const ChannelRecord& record, const std::string& wavPath,
                      ProgressMonitor& progress, Prompter& prompter);

// The same with sound made in memory (the demo file).
Outcome AppendSound(Workspace& workspace, const ChannelRecord& record, FrameSource& sound,
                    ProgressMonitor& progress, Prompter& prompter);

}  // namespace sorvane
