#include "codec/wav_import.h"

#include <algorithm>
#include <cstdint>

#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "container/placement.h"

namespace sorvane {
namespace {

constexpr int kSearchSteps = 32;

// F + Interleave x n, the end of the channel with n sectors.
std::int32_t EndAfter(const EncodeCursor& c, std::int64_t n) {
  const std::int64_t end = c.Channel.FirstSector + std::int64_t{c.Channel.Interleave} * n;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(end, INT32_MIN, INT32_MAX));
}

void SetCount(EncodeCursor& c, std::int32_t count) {
  c.Channel.SectorCount = count;
  if (c.Entry) c.Entry->SectorCount = count;
}

// The search shared by the passes that look for the channel's own sectors: true when the
// cursor stands on one; otherwise `step` holds 1 or 2 (or -1 on a read failure).
bool FindChannelSector(XaFile& xa, EncodeCursor& c, std::int32_t limit, SectorInfo& info, int& step) {
  for (int tried = 0; tried < kSearchSteps; ++tried) {
    if (++c.Cursor >= limit) {
      step = 2;
      return false;
    }
    if (ReadSubheader(xa, c.Cursor, info) != 0) {
      step = -1;
      return false;
    }
    if (info.Kind == SectorAudio && info.Channel == c.Channel.Channel) return true;
  }
  step = 1;
  return false;
}

int EncodeAt(XaFile& xa, Importer& importer, const std::uint8_t subheader[4]) {
  std::uint8_t head[4] = {subheader[0], subheader[1], subheader[2], subheader[3]};
  head[2] &= static_cast<std::uint8_t>(~kSubmodeEof);
  std::uint8_t image[kSectorBytes];
  EncodeAudioSector(importer.Encoder, importer.Reader, head, image);
  importer.Cursor.LastWritten = importer.Cursor.Cursor;
  return WriteSector(xa, importer.Cursor.Cursor, image);
}

// Asks once per pass before a sector of this kind is overwritten; false when declined.
bool ConfirmOverwrite(XaFile& xa, Prompter& prompter, bool& confirmed, const char* question) {
  if (confirmed) return true;
  if (!prompter.AskOkCancel(question)) {
    xa.LastErrorText = text::kCancelled;
    return false;
  }
  confirmed = true;
  return true;
}

enum class PassEnd { Done, Cancelled, Failed };

// Runs `step` until the cursor reaches `limit`, with the progress of the whole import.
template <typename Step>
PassEnd RunPass(EncodeCursor& c, std::int32_t limit, ProgressMonitor& progress, Step step) {
  while (c.Cursor < limit) {
    progress.SetPosition(ProgressPercent(c.Cursor, c.Channel.FirstSector, c.ClearEnd));
    if (progress.PollCancel()) return PassEnd::Cancelled;
    if (step() == -1) return PassEnd::Failed;
  }
  return PassEnd::Done;
}

// Grows the file for a lengthened channel when permitted; otherwise cuts the channel to it.
void FitChannelToFile(XaFile& xa, EncodeCursor& c, Prompter& prompter) {
  if (std::int64_t{c.ClearEnd} + xa.EndPostGap <= xa.SectorCount) return;
  if (MayResize(xa, prompter)) {
    AdjustFileSize(xa, prompter);
    return;
  }
  // A channel starting inside the end post-gap keeps no sectors rather than a negative count.
  const std::int64_t room = std::int64_t{xa.SectorCount} - xa.EndPostGap - c.Channel.FirstSector;
  const std::int32_t count = static_cast<std::int32_t>(std::max<std::int64_t>(room / c.Channel.Interleave, 0));
  SetCount(c, count);
  c.ClearEnd = c.GrowEnd = EndAfter(c, count);
}

void FollowWav(XaFile& xa, EncodeCursor& c, std::int32_t need, Prompter& prompter) {
  SetCount(c, need);
  c.ClearEnd = c.GrowEnd = EndAfter(c, need);
  FitChannelToFile(xa, c, prompter);
}

// Compares the WAV's length with the channel's and asks which to follow; false on Cancel.
bool DecideLength(XaFile& xa, EncodeCursor& c, std::int32_t need, Prompter& prompter) {
  const std::int32_t count = c.Channel.SectorCount;
  if (need == count) return true;
  if (need < count) {
    LengthChoice choice = prompter.ChooseLength(text::kWavShorter, text::kFollowWav);
    if (choice == LengthChoice::Cancel) return false;
    c.GrowEnd = EndAfter(c, need);
    if (choice == LengthChoice::SecondChoice) {
      SetCount(c, need);
      c.ReuseEnd = c.GrowEnd;
    }
    return true;
  }
  ChannelRecord trial = c.Channel;
  trial.SectorCount = need;
  if (CheckCollisionExcept(xa, trial, c.Entry) != 0) {
    LengthChoice choice = prompter.ChooseLength(text::kFollowingOverlap, text::kFitBeforeFollowing);
    if (choice == LengthChoice::Cancel) return false;
    if (choice == LengthChoice::SecondChoice) {
      SetCount(c, trial.SectorCount);
      c.ClearEnd = c.GrowEnd = EndAfter(c, trial.SectorCount);
    }
    return true;
  }
  if (count > 0) {
    LengthChoice choice = prompter.ChooseLength(text::kWavLonger, text::kFollowWav);
    if (choice == LengthChoice::Cancel) return false;
    if (choice == LengthChoice::SecondChoice) FollowWav(xa, c, need, prompter);
    return true;
  }
  FollowWav(xa, c, need, prompter);
  return true;
}

// The three passes, the end mark between the second and the third. -1 on failure.
int WritePasses(XaFile& xa, Importer& importer, const SectorInfo& sectorTemplate, ProgressMonitor& progress,
                Prompter& prompter) {
  EncodeCursor& c = importer.Cursor;
  c.Cursor = c.Channel.FirstSector - 1;
  PassEnd end = RunPass(c, c.ReuseEnd, progress, [&] { return EncodeNextChannelSector(xa, importer, c.ReuseEnd); });
  if (end != PassEnd::Done) return end == PassEnd::Failed ? -1 : 0;
  c.Cursor = c.LastWritten;
  end = RunPass(c, c.GrowEnd, progress,
                [&] { return EncodeNewSector(xa, importer, prompter, c.GrowEnd, sectorTemplate); });
  if (end != PassEnd::Done) return end == PassEnd::Failed ? -1 : 0;
  if (c.LastWritten >= c.Channel.FirstSector) MarkChannelEnd(xa, c);
  c.Cursor = c.LastWritten;
  end = RunPass(c, c.ClearEnd, progress, [&] { return ClearNextChannelSector(xa, c, c.ClearEnd); });
  return end == PassEnd::Failed ? -1 : 0;
}

}  // namespace

void SelectChannel(EncodeCursor& c, ChannelRecord& entry) {
  c.Channel = entry;
  c.Entry = &entry;
  c.Cursor = entry.FirstSector;
  c.ClearEnd = c.GrowEnd = c.ReuseEnd = EndAfter(c, entry.SectorCount > 0 ? entry.SectorCount : 1);
  c.LastWritten = entry.FirstSector - entry.Interleave;
  c.DataOverwriteConfirmed = false;
  c.AudioOverwriteConfirmed = false;
}

int ImportWav(XaFile& xa, Importer& importer, const std::string& path, ProgressMonitor& progress,
              Prompter& prompter) {
  WavReader& reader = importer.Reader;
  EncodeCursor& c = importer.Cursor;
  if (reader.Open(path) != 0) {
    xa.LastErrorText = reader.LastErrorText;
    return -1;
  }
  reader.TargetRate = XaRate(QualityOf(c.Channel));
  const std::int32_t need = SectorsNeeded(QualityOf(c.Channel), reader.TargetLength());
  SectorInfo sectorTemplate;
  if (!DecideLength(xa, c, need, prompter)) {
    reader.Close();
    return 0;
  }
  if (ReadSubheader(xa, c.Channel.FirstSector, sectorTemplate) != 0) {
    reader.Close();
    return -1;
  }
  progress.Start();
  const int result = WritePasses(xa, importer, sectorTemplate, progress, prompter);
  progress.Finish();
  reader.Close();
  return result;
}

int EraseChannel(XaFile& xa, EncodeCursor& c, ProgressMonitor& progress) {
  progress.Start();
  c.Cursor = c.Channel.FirstSector - 1;
  const PassEnd end = RunPass(c, c.ClearEnd, progress, [&] { return ClearNextChannelSector(xa, c, c.ClearEnd); });
  progress.Finish();
  return end == PassEnd::Failed ? -1 : 0;
}

int EncodeNextChannelSector(XaFile& xa, Importer& importer, std::int32_t limit) {
  SectorInfo info;
  int step = 0;
  if (!FindChannelSector(xa, importer.Cursor, limit, info, step)) return step;
  return EncodeAt(xa, importer, info.Subheader);
}

int EncodeNewSector(XaFile& xa, Importer& importer, Prompter& prompter, std::int32_t limit,
                    const SectorInfo& sectorTemplate) {
  EncodeCursor& c = importer.Cursor;
  const std::int64_t next = std::int64_t{c.Cursor} + c.Channel.Interleave;
  if (next >= limit) {
    c.Cursor = limit;
    return 2;
  }
  c.Cursor = static_cast<std::int32_t>(next);
  SectorInfo info;
  if (ReadSubheader(xa, c.Cursor, info) != 0) return -1;
  if (info.Kind == SectorData &&
      !ConfirmOverwrite(xa, prompter, c.DataOverwriteConfirmed, text::kAskOverwriteData))
    return -1;
  if (info.Kind == SectorAudio &&
      !ConfirmOverwrite(xa, prompter, c.AudioOverwriteConfirmed, text::kAskOverwriteAudio))
    return -1;
  return EncodeAt(xa, importer, sectorTemplate.Subheader);
}

int ClearNextChannelSector(XaFile& xa, EncodeCursor& c, std::int32_t limit) {
  SectorInfo info;
  int step = 0;
  if (!FindChannelSector(xa, c, limit, info, step)) return step;
  std::uint8_t empty[kSectorBytes];
  MakeEmptySector(empty, false);
  return WriteSector(xa, c.Cursor, empty);
}

int MarkChannelEnd(XaFile& xa, const EncodeCursor& c) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  if (ReadSector(xa, c.LastWritten, sector, info) != 0) return -1;
  sector[2] |= kSubmodeEof;
  sector[6] |= kSubmodeEof;
  return WriteSector(xa, c.LastWritten, sector);
}

}  // namespace sorvane
