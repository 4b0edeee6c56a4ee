// The channel append: the proposal for a new channel, the logic of the append dialog as
// plain functions over what its controls hold, and the append itself. The editor's dialog
// and the command line both drive these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/wav_import.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/xa_file.h"
#include "input/wav_reader.h"

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

// Sectors the WAV needs at the record's rate (sets the reader's TargetRate).
std::int32_t SectorsForWav(WavReader& wave, const ChannelRecord& record);

// The proposal for a WAV just opened: quality from the WAV, speed of the last channel, the
// next free channel number, the sector count, interleave and a free start from 0.
ChannelRecord ProposeNewChannel(const XaFile& xa, WavReader& wave);

// Record to controls, and the track list rebuilt for the selected quality and speed.
void ShowParams(const ChannelRecord& record, AppendDialogState& dialog);
void QualitySelChange(AppendDialogState& dialog);
// Controls to record, with the sector count recomputed from the WAV.
void ReadParams(const AppendDialogState& dialog, WavReader& wave, ChannelRecord& record);
// "検索": a free channel number and a free start from what was typed.
void FindButtonClick(const XaFile& xa, AppendDialogState& dialog, WavReader& wave, ChannelRecord& record);
// OK: nullptr when the record is acceptable, else the refusal to show (the dialog stays).
const char* OKButtonClick(const XaFile& xa, AppendDialogState& dialog, WavReader& wave, ChannelRecord& record);

enum class AppendResult { Done, Failed, Declined };

// After the dialog's OK: grows the file when the start lies past its end (asking under
// the resize permission), stamps the first sector, adds the channel with count 0 and
// imports the WAV into it. Failed: LastErrorText holds the message; Declined: growth was
// not allowed and nothing changed (the refusal text is in LastErrorText).
AppendResult AppendChannel(XaFile& xa, Importer& importer, const ChannelRecord& record, const std::string& wavPath,
                           ProgressMonitor& progress, Prompter& prompter);

}  // namespace sorvane
