#include "container/channel_scan.h"

#include "common/fixed_texts.h"
#include "container/placement.h"

namespace sorvane {
namespace {

constexpr std::int32_t kProgressThreshold = 500;  // longer walks show progress
constexpr std::int32_t kPollEvery = 64;
constexpr std::int32_t kTrialCount = 500000;
constexpr int kMaxInterleave = 32;

// The end-of-file bit moves to the last sector an import writes; a channel stays one channel.
SectorInfo WithoutEof(SectorInfo info) {
  info.Subheader[2] &= static_cast<std::uint8_t>(~kSubmodeEof);
  return info;
}

// What the walk does with sector i once it is known not to be empty.
enum class Step { Next, Fail };

// Cuts back every record whose span holds sector i but that the sector does not belong to;
// true when a record owns the sector afterwards.
bool Owned(XaFile& xa, std::int32_t i, const SectorInfo& info) {
  while (ChannelRecord* r = FindRecordAt(xa, i)) {
    bool belongs =
        info.Kind == SectorData ? r->Channel == kDataRunChannel : r->Channel == info.Channel;
    if (belongs) return true;
    r->SectorCount = (i - r->FirstSector) / r->Interleave;
  }
  return false;
}

Step AddDataRun(XaFile& xa, std::int32_t i, const SectorInfo& info) {
  if (xa.DataRunTable.Full()) {
    xa.LastErrorText = text::kTooManyChannels;
    return Step::Fail;
  }
  std::int32_t count = MeasureExtent(xa, i, kDataRunInterleave, info);
  if (count < 0) return Step::Fail;
  ChannelRecord run;
  run.Channel = kDataRunChannel;
  run.FirstSector = i;
  run.SectorCount = count;
  run.Interleave = kDataRunInterleave;
  xa.DataRunTable.Append(run);
  return Step::Next;
}

Step AddAudioChannel(XaFile& xa, std::int32_t i, const SectorInfo& info) {
  if (xa.AudioChannelTable.Full()) {
    xa.LastErrorText = text::kTooManyChannels;
    return Step::Fail;
  }
  int d = FindInterleave(xa, i, info);
  if (d == 0) return Step::Next;
  if (d < 0) return Step::Fail;
  std::int32_t count = MeasureExtent(xa, i, d, info);
  if (count < 0) return Step::Fail;
  ChannelRecord channel;
  channel.Channel = info.Channel;
  channel.HighRate = info.HighRate;
  channel.Stereo = info.Stereo;
  channel.FirstSector = i;
  channel.SectorCount = count;
  channel.Interleave = d;
  std::int32_t nominal = NominalInterleave(QualityOf(info));
  if (d == 2 * nominal) {
    channel.DoubleSpeed = 1;
  } else if (d != nominal) {
    xa.LastErrorText = text::kInconsistentRate;
    return Step::Fail;
  }
  xa.AudioChannelTable.Append(channel);
  return Step::Next;
}

Step VisitSector(XaFile& xa, std::int32_t i, ProgressMonitor& monitor) {
  SectorInfo info;
  if (ReadSubheader(xa, i, info) != 0) return Step::Fail;
  if (info.Kind == SectorEmpty || Owned(xa, i, info)) return Step::Next;
  if (info.Kind == SectorData) return AddDataRun(xa, i, info);
  if (IsChannelUsed(xa, info.Channel)) {
    if (!xa.DuplicateWarned) {
      xa.DuplicateWarned = true;
      monitor.Notify(text::kDuplicateChannel);
    }
    return Step::Next;
  }
  return AddAudioChannel(xa, i, info);
}

// The room each channel could grow into bounds the per-channel post-gap.
void DerivePostGaps(XaFile& xa) {
  xa.EndPostGap = static_cast<std::int32_t>(xa.SectorCount - LargestRecordEnd(xa));
  xa.ChannelPostGap = xa.EndPostGap;
  for (ChannelRecord& channel : xa.AudioChannelTable) {
    ChannelRecord trial = channel;
    trial.SectorCount = kTrialCount;
    CheckCollisionExcept(xa, trial, &channel);
    std::int64_t room = std::int64_t{trial.SectorCount - channel.SectorCount} * trial.Interleave;
    if (room < xa.ChannelPostGap) xa.ChannelPostGap = static_cast<std::int32_t>(room);
  }
}

}  // namespace

int FindInterleave(XaFile& xa, std::int32_t sector, const SectorInfo& info) {
  const SectorInfo wanted = WithoutEof(info);
  for (int d = 1; d <= kMaxInterleave; ++d) {
    if (std::int64_t{sector} + d >= xa.SectorCount) return 0;  // past the end reads as zeros
    SectorInfo next;
    if (ReadSubheader(xa, sector + d, next) != 0) return -1;
    if (WithoutEof(next) == wanted) return d;
  }
  return 0;
}

std::int32_t MeasureExtent(XaFile& xa, std::int32_t first, std::int32_t step,
                           const SectorInfo& info) {
  std::int32_t m = (xa.SectorCount - first) / step;
  std::int32_t b = 0;
  while (m > 1) {
    std::int32_t h = m / 2;
    SectorInfo probe;
    if (ReadSubheader(xa, first + step * (b + h), probe) != 0) return -1;
    if (probe.Kind == info.Kind && probe.Channel == info.Channel) {
      b += h;
      m -= h;
    } else {
      m = h;
    }
  }
  return b + m;
}

ChannelRecord* FindRecordAt(XaFile& xa, std::int32_t sector) {
  for (ChannelTable* table : {&xa.AudioChannelTable, &xa.DataRunTable}) {
    for (ChannelRecord& r : *table) {
      if (r.FirstSector <= sector && sector < RecordEnd(r) &&
          (sector - r.FirstSector) % r.Interleave == 0)
        return &r;
    }
  }
  return nullptr;
}

bool IsChannelUsed(const XaFile& xa, std::uint8_t channel) {
  for (const ChannelRecord& r : xa.AudioChannelTable)
    if (r.Channel == channel) return true;
  return false;
}

int ScanChannels(XaFile& xa, std::int32_t walkLimit, ProgressMonitor& monitor) {
  xa.AudioChannelTable.Count = 0;
  xa.DataRunTable.Count = 0;
  const std::int32_t n = walkLimit < xa.SectorCount ? walkLimit : xa.SectorCount;
  const bool showProgress = n > kProgressThreshold;
  if (showProgress) monitor.Start();
  int result = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    if (showProgress && i % kPollEvery == 0) {
      monitor.SetPosition(static_cast<int>(std::int64_t{i} * 100 / n));
      if (monitor.PollCancel()) break;
    }
    if (VisitSector(xa, i, monitor) == Step::Fail) {
      result = -1;
      break;
    }
  }
  if (showProgress) monitor.Finish();
  DerivePostGaps(xa);
  return result;
}

}  // namespace sorvane
