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

constexpr std::int32_t kHighRateFrom = 37800;

std::int32_t InterleaveFor(int qualityItem, int speedItem) {
  const int item = qualityItem >= 0 && qualityItem < 4 ? qualityItem : 0;
  return kInterleaveByQuality[item] * (speedItem != 0 ? 2 : 1);
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
  const std::uint8_t coding = (r.Stereo ? kCodingStereo : 0) | (r.HighRate ? 0 : kCodingLowRate);
  const std::uint8_t head[4] = {1, r.Channel, kSubmodeAudioSector, coding};
  std::memcpy(sector, head, 4);
  std::memcpy(sector + 4, head, 4);
}

}  // namespace

const char* RefuseAppend(const XaFile& xa) {
  return xa.AudioChannelTable.Full() ? text::kTableFull : nullptr;
}

std::int32_t SectorsForWav(WavReader& wave, const ChannelRecord& record) {
  wave.TargetRate = record.HighRate ? 37800 : 18900;
  const std::int64_t perSector = record.Stereo ? kStereoFramesPerSector : kMonoFramesPerSector;
  return static_cast<std::int32_t>((wave.TargetLength() + perSector - 1) / perSector);
}

ChannelRecord ProposeNewChannel(const XaFile& xa, WavReader& wave) {
  ChannelRecord r;
  r.HighRate = wave.SourceRate >= kHighRateFrom ? 1 : 0;
  r.Stereo = wave.ChannelCount != 1 ? 1 : 0;
  const auto& table = xa.AudioChannelTable;
  r.DoubleSpeed = table.Count > 0 ? table.Records[table.Count - 1].DoubleSpeed : 0;
  r.Channel = NextChannelNumber(xa, 0);
  r.SectorCount = SectorsForWav(wave, r);
  r.Interleave = InterleaveFor(2 * r.HighRate + r.Stereo, r.DoubleSpeed);
  r.FirstSector = 0;
  FindFreeStart(xa, r);
  return r;
}

void ShowParams(const ChannelRecord& r, AppendDialogState& dialog) {
  const std::int32_t slot = r.Interleave > 0 ? r.FirstSector % r.Interleave : 0;
  dialog.StartText = FormatStartText(r.FirstSector - slot);
  dialog.SpeedItem = r.DoubleSpeed;
  dialog.ChannelText = std::to_string(r.Channel);
  dialog.QualityItem = 2 * r.HighRate + r.Stereo;
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
  r.HighRate = static_cast<std::uint8_t>(dialog.QualityItem / 2);
  r.Stereo = static_cast<std::uint8_t>(dialog.QualityItem % 2);
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
