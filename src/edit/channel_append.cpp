#include "edit/channel_append.h"

#include <algorithm>
#include <cstring>

#include "codec/adpcm_encoder.h"
#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "container/file_size.h"
#include "container/placement.h"
#include "edit/edit_history.h"
#include "edit/import_passes.h"
#include "edit/position_text.h"

namespace sorvane {
namespace {

// The quality item of the dialog is the Quality's value; anything else reads as the first.
Quality QualityOfItem(int qualityItem) {
  return static_cast<Quality>(qualityItem >= 0 && qualityItem < 4 ? qualityItem : 0);
}

std::int32_t InterleaveFor(int qualityItem, int speedItem) {
  return Interleave(QualityOfItem(qualityItem), speedItem != 0);
}

// One more than the highest number in use, counting in 8 bits, unless `channel` is higher.
std::uint8_t NextChannelNumber(const XaFile& xa, std::uint8_t channel) {
  for (const ChannelRecord& r : xa.AudioChannelTable)
    if (r.Channel >= channel) channel = static_cast<std::uint8_t>(r.Channel + 1);
  return channel;
}

std::uint8_t ParseChannelText(const std::string& text) {
  std::int32_t value = 0;
  ParseLeadingInteger(text, value);
  return static_cast<std::uint8_t>(value & 0xFF);
}

// The first sector: an audio sector of the new channel with an empty payload, under the file
// number of the file's new sectors.
void MakeStamp(XaFile& xa, const ChannelRecord& r, std::uint8_t* sector) {
  MakeEmptySector(xa, sector, false);
  const std::uint8_t head[3] = {r.Channel, kSubmodeAudioSector, CodingInfo(QualityOf(r))};
  std::memcpy(sector + 1, head, 3);
  std::memcpy(sector + 5, head, 3);
}

// Grows the file when the first sector lies past its end: Declined when the question was
// answered "キャンセル", Failed when growth is forbidden or fails.
Outcome MakeRoom(XaFile& xa, const ChannelRecord& record, Prompter& prompter) {
  if (record.FirstSector < xa.SectorCount) return Outcome::Done;
  const bool asks = xa.ResizePermission == ResizeAsk;
  if (!MayResize(xa, prompter)) {
    xa.LastErrorText = text::kCannotGrowForAppend;
    return asks ? Outcome::Declined : Outcome::Failed;
  }
  if (ChangeSectorCount(xa, record.FirstSector + 1, prompter) != 0) return Outcome::Failed;
  return Outcome::Done;
}

// Makes room, stamps the first sector and adds the entry with count 0, selected for the
// import.
Outcome PlaceChannel(Workspace& workspace, const ChannelRecord& record, Prompter& prompter) {
  XaFile& xa = workspace.File;
  if (const Outcome room = MakeRoom(xa, record, prompter); room != Outcome::Done) return room;
  std::uint8_t stamp[kSectorBytes];
  MakeStamp(xa, record, stamp);
  if (WriteSector(xa, record.FirstSector, stamp) != 0) return Outcome::Failed;
  ChannelRecord entry = record;
  entry.SectorCount = 0;
  xa.AudioChannelTable.Append(entry);
  ChannelTable& table = xa.AudioChannelTable;
  SelectChannel(workspace.Import.Cursor, table.Records[table.Count - 1]);
  return Outcome::Done;
}

}  // namespace

const char* RefuseAppend(const XaFile& xa) {
  return xa.AudioChannelTable.Full() ? text::kTableFull : nullptr;
}

std::int32_t SectorsForSound(FrameSource& sound, const ChannelRecord& record) {
  return SectorsNeeded(QualityOf(record), sound.SetTargetRate(XaRate(QualityOf(record))));
}

ChannelRecord ProposeNewChannel(const XaFile& xa, FrameSource& sound) {
  ChannelRecord r;
  r.HighRate = sound.SourceRate() >= kXaHighRate ? 1 : 0;
  r.Stereo = sound.ChannelCount() != 1 ? 1 : 0;
  const auto& table = xa.AudioChannelTable;
  r.DoubleSpeed = table.Count > 0 ? table.Records[table.Count - 1].DoubleSpeed : 0;
  r.Channel = NextChannelNumber(xa, 0);
  r.SectorCount = SectorsForSound(sound, r);
  r.Interleave = Interleave(QualityOf(r), r.DoubleSpeed != 0);
  r.FirstSector = 0;
  FindFreeStart(xa, r);
  return r;
}

void ShowParams(const ChannelRecord& r, AppendDialogState& dialog) {
  const std::int32_t slot = r.Interleave > 0 ? r.FirstSector % r.Interleave : 0;
  dialog.StartText = FormatStartText(r.FirstSector - slot);
  dialog.SpeedItem = r.DoubleSpeed;
  dialog.ChannelText = std::to_string(r.Channel);
  dialog.QualityItem = static_cast<int>(QualityOf(r));
  QualitySelChange(dialog);
  dialog.TrackItem = slot >= 0 ? slot : -1;  // a start before the file selects no slot
}

void QualitySelChange(AppendDialogState& dialog) {
  const std::int32_t n = InterleaveFor(dialog.QualityItem, dialog.SpeedItem);
  dialog.TrackItems.clear();
  for (std::int32_t k = 0; k < n; ++k) dialog.TrackItems.push_back(std::to_string(k));
  if (dialog.TrackItem >= 0) dialog.TrackItem %= n;
}

void ReadParams(const AppendDialogState& dialog, FrameSource& sound, ChannelRecord& r) {
  r.HighRate = IsHighRate(QualityOfItem(dialog.QualityItem)) ? 1 : 0;
  r.Stereo = IsStereo(QualityOfItem(dialog.QualityItem)) ? 1 : 0;
  r.DoubleSpeed = static_cast<std::uint8_t>(dialog.SpeedItem);
  r.Interleave = InterleaveFor(dialog.QualityItem, dialog.SpeedItem);
  const std::int64_t start = ParsePositionText(dialog.StartText);
  const std::int64_t cycleStart =
      start / r.Interleave * r.Interleave + std::max(dialog.TrackItem, 0);
  r.FirstSector = static_cast<std::int32_t>(cycleStart);
  r.Channel = ParseChannelText(dialog.ChannelText);
  r.SectorCount = SectorsForSound(sound, r);
}

void FindButtonClick(const XaFile& xa, AppendDialogState& dialog, FrameSource& sound,
                     ChannelRecord& r) {
  ReadParams(dialog, sound, r);
  r.Channel = NextChannelNumber(xa, r.Channel);
  FindFreeStart(xa, r);
  ShowParams(r, dialog);
}

const char* OKButtonClick(const XaFile& xa, AppendDialogState& dialog, FrameSource& sound,
                          ChannelRecord& r) {
  const AppendDialogState typed = dialog;
  ReadParams(dialog, sound, r);
  ShowParams(r, dialog);
  const char* refusal = IsChannelUsed(xa, r.Channel) ? text::kChannelInUse
                        : r.FirstSector < 0          ? text::kBadStart
                        : CheckCollision(xa, r) != 0 ? text::kOverlap
                                                     : nullptr;
  // A refused entry stays as it was typed, with the slot list of its quality, so that the
  // person corrects it rather than a value derived from it.
  if (refusal) dialog = typed;
  return refusal;
}

namespace {

// The edit of an append: the channel placed, then `encode` fills it.
template <typename Encode>
Outcome RunAppend(Workspace& workspace, const ChannelRecord& record, ProgressMonitor& progress,
                  Prompter& prompter, Encode encode) {
  if (StartEdit(workspace, "append") != Outcome::Done) return Outcome::Failed;
  Outcome outcome = PlaceChannel(workspace, record, prompter);
  if (outcome == Outcome::Done) outcome = encode();
  return FinishSoundEdit(workspace, outcome, progress);
}

}  // namespace

Outcome AppendChannel(Workspace& workspace, const ChannelRecord& record, const std::string& wavPath,
                      ProgressMonitor& progress, Prompter& prompter) {
  return RunAppend(workspace, record, progress, prompter, [&] {
    return ImportWav(workspace.File, workspace.Import, wavPath, progress, prompter);
  });
}

Outcome AppendSound(Workspace& workspace, const ChannelRecord& record, FrameSource& sound,
                    ProgressMonitor& progress, Prompter& prompter) {
  return RunAppend(workspace, record, progress, prompter, [&] {
    return ImportFrames(workspace.File, workspace.Import, sound, progress, prompter);
  });
}

}  // namespace sorvane
