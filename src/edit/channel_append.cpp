#include "edit/channel_append.h"

#include <algorithm>
#include <cstring>

#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "container/file_size.h"
#include "container/placement.h"
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

// The first sector: an audio sector of the new channel with an empty payload.
void MakeStamp(const ChannelRecord& r, std::uint8_t* sector) {
  std::memset(sector, 0, kSectorBytes);
  const std::uint8_t head[4] = {1, r.Channel, kSubmodeAudioSector, CodingInfo(QualityOf(r))};
  std::memcpy(sector, head, 4);
  std::memcpy(sector + 4, head, 4);
}

}  // namespace

const char* RefuseAppend(const XaFile& xa) {
  return xa.AudioChannelTable.Full() ? text::kTableFull : nullptr;
}

std::int32_t SectorsForWav(WavReader& wave, const ChannelRecord& record) {
  wave.TargetRate = XaRate(QualityOf(record));
  return SectorsNeeded(QualityOf(record), wave.TargetLength());
}

ChannelRecord ProposeNewChannel(const XaFile& xa, WavReader& wave) {
  ChannelRecord r;
  r.HighRate = wave.SourceRate >= kXaHighRate ? 1 : 0;
  r.Stereo = wave.ChannelCount != 1 ? 1 : 0;
  const auto& table = xa.AudioChannelTable;
  r.DoubleSpeed = table.Count > 0 ? table.Records[table.Count - 1].DoubleSpeed : 0;
  r.Channel = NextChannelNumber(xa, 0);
  r.SectorCount = SectorsForWav(wave, r);
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

void ReadParams(const AppendDialogState& dialog, WavReader& wave, ChannelRecord& r) {
  r.HighRate = IsHighRate(QualityOfItem(dialog.QualityItem)) ? 1 : 0;
  r.Stereo = IsStereo(QualityOfItem(dialog.QualityItem)) ? 1 : 0;
  r.DoubleSpeed = static_cast<std::uint8_t>(dialog.SpeedItem);
  r.Interleave = InterleaveFor(dialog.QualityItem, dialog.SpeedItem);
  const std::int64_t start = ParsePositionText(dialog.StartText);
  const std::int64_t cycleStart = start / r.Interleave * r.Interleave + std::max(dialog.TrackItem, 0);
  r.FirstSector = static_cast<std::int32_t>(cycleStart);
  r.Channel = ParseChannelText(dialog.ChannelText);
  r.SectorCount = SectorsForWav(wave, r);
}

void FindButtonClick(const XaFile& xa, AppendDialogState& dialog, WavReader& wave, ChannelRecord& r) {
  ReadParams(dialog, wave, r);
  r.Channel = NextChannelNumber(xa, r.Channel);
  FindFreeStart(xa, r);
  ShowParams(r, dialog);
}

const char* OKButtonClick(const XaFile& xa, AppendDialogState& dialog, WavReader& wave, ChannelRecord& r) {
  ReadParams(dialog, wave, r);
  ShowParams(r, dialog);
  if (IsChannelUsed(xa, r.Channel)) return text::kChannelInUse;
  if (r.FirstSector < 0) return text::kBadStart;
  if (CheckCollision(xa, r) != 0) return text::kOverlap;
  return nullptr;
}

AppendResult AppendChannel(XaFile& xa, Importer& importer, const ChannelRecord& record, const std::string& wavPath,
                           ProgressMonitor& progress, Prompter& prompter) {
  if (record.FirstSector >= xa.SectorCount) {
    if (!MayResize(xa, prompter)) {
      xa.LastErrorText = text::kCannotGrowForAppend;
      return AppendResult::Declined;
    }
    if (ChangeSectorCount(xa, record.FirstSector + 1, prompter) != 0) return AppendResult::Failed;
  }
  std::uint8_t stamp[kSectorBytes];
  MakeStamp(record, stamp);
  if (WriteSector(xa, record.FirstSector, stamp) != 0) return AppendResult::Failed;
  ChannelRecord entry = record;
  entry.SectorCount = 0;
  xa.AudioChannelTable.Append(entry);
  SelectChannel(importer.Cursor, xa.AudioChannelTable.Records[xa.AudioChannelTable.Count - 1]);
  return ImportWav(xa, importer, wavPath, progress, prompter) == 0 ? AppendResult::Done : AppendResult::Failed;
}

}  // namespace sorvane
