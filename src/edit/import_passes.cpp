#include "edit/import_passes.h"

#include <algorithm>
#include <cstdint>

#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "container/placement.h"
#include "container/undo_journal.h"
#include "edit/channel_list_format.h"
#include "edit/import_pipeline.h"
#include "input/resampled_frames.h"

namespace sorvane {
namespace {

constexpr int kSearchSteps = 32;

// What one step of a pass did: found one of the channel's sectors, wrote one, passed
// kSearchSteps sectors without one, reached the pass's limit, or failed.
enum class PassStep { Found, Written, Searching, Limit, Failed };

// F + Interleave x n, the end of the channel with n sectors.
std::int32_t EndAfter(const EncodeCursor& c, std::int64_t n) {
  const std::int64_t end = c.Channel.FirstSector + std::int64_t{c.Channel.Interleave} * n;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(end, INT32_MIN, INT32_MAX));
}

void SetCount(EncodeCursor& c, std::int32_t count) {
  c.Channel.SectorCount = count;
  if (c.Entry) c.Entry->SectorCount = count;
}

// The search shared by the passes that look for the channel's own sectors: Found when the
// cursor stands on one, else Searching, Limit or Failed.
PassStep FindChannelSector(XaFile& xa, EncodeCursor& c, std::int32_t limit, SectorInfo& info) {
  for (int tried = 0; tried < kSearchSteps; ++tried) {
    if (++c.Cursor >= limit) return PassStep::Limit;
    if (ReadSubheader(xa, c.Cursor, info) != 0) return PassStep::Failed;
    if (info.Kind == SectorAudio && info.Channel == c.Channel.Channel) return PassStep::Found;
  }
  return PassStep::Searching;
}

// One import: where the frames come from, and where the encoding stands.
struct ImportRun {
  XaFile& Xa;
  Importer& Import;
  FrameSource& Source;
  Prompter& Ask;
  ImportPipeline& Sectors;
};

// Encodes the next sector's worth of frames under `subheader` (its end mark cleared) into
// the cursor's sector; a stereo sector takes 2016 frames, a mono one 4032. The sector is
// queued: written with its batch, or when the pass settles.
PassStep EncodeAt(ImportRun& run, const std::uint8_t subheader[4]) {
  std::uint8_t head[4] = {subheader[0], subheader[1], subheader[2], subheader[3]};
  head[2] &= static_cast<std::uint8_t>(~kSubmodeEof);
  std::int16_t* frames = run.Sectors.Frames();
  const int count = (head[3] & kCodingStereo) != 0 ? kStereoFramesPerSector : kMonoFramesPerSector;
  for (int k = 0; k < count; ++k) run.Source.ReadFrame(frames + 2 * k);
  if (run.Source.ReadFailed()) {
    run.Import.SourceFailed = true;
    run.Xa.LastErrorText = text::kReadError;
    return PassStep::Failed;
  }
  EncodeCursor& c = run.Import.Cursor;
  c.LastWritten = c.Cursor;
  return run.Sectors.Queue(c.Cursor, head) ? PassStep::Written : PassStep::Failed;
}

// Writes every queued sector. A write that failed comes before whatever stopped the pass
// after it: the import stops as it would have stopped at that sector.
Outcome Settle(ImportRun& run, Outcome end) {
  if (run.Sectors.Drain()) return end;
  EncodeCursor& c = run.Import.Cursor;
  c.Cursor = c.LastWritten = run.Sectors.FailedSector();
  run.Import.SourceFailed = false;
  return Outcome::Failed;
}

// Asks once per pass before a sector of this kind is overwritten: Done, or Declined when
// declined. The sectors before it are written first: Failed when one could not be, as the
// import would have stopped there without asking.
Outcome ConfirmOverwrite(ImportRun& run, bool& confirmed, const char* question) {
  if (confirmed) return Outcome::Done;
  if (!run.Sectors.Drain()) return Outcome::Failed;
  if (!run.Ask.AskOkCancel(question)) {
    run.Xa.LastErrorText = text::kCancelled;
    return Outcome::Declined;
  }
  confirmed = true;
  return Outcome::Done;
}

// Runs `step` until the cursor reaches `limit`, with the progress of the whole import.
// Done, Cancelled, Declined (an overwrite question) or Failed.
template <typename Step>
Outcome RunPass(EncodeCursor& c, std::int32_t limit, ProgressMonitor& progress, Step step) {
  while (c.Cursor < limit) {
    progress.SetPosition(ProgressPercent(c.Cursor, c.Channel.FirstSector, c.ClearEnd));
    if (progress.PollCancel()) return Outcome::Cancelled;
    if (const Outcome failed = step(); failed != Outcome::Done) return failed;
  }
  return Outcome::Done;
}

// A step's result as RunPass takes it: only a failure or a refusal stops the pass.
Outcome Continue(PassStep step) {
  return step == PassStep::Failed ? Outcome::Failed : Outcome::Done;
}

// Grows the file for a lengthened channel when permitted; otherwise cuts the channel to it.
// False when the growth failed.
bool FitChannelToFile(XaFile& xa, EncodeCursor& c, Prompter& prompter) {
  if (std::int64_t{c.ClearEnd} + xa.EndPostGap <= xa.SectorCount) return true;
  if (MayResize(xa, prompter)) return AdjustFileSize(xa, prompter) == 0;
  c.CutToFile = true;
  // A channel starting inside the end post-gap keeps no sectors rather than a negative count.
  const std::int64_t room = std::int64_t{xa.SectorCount} - xa.EndPostGap - c.Channel.FirstSector;
  const std::int32_t count =
      static_cast<std::int32_t>(std::max<std::int64_t>(room / c.Channel.Interleave, 0));
  SetCount(c, count);
  c.ClearEnd = c.GrowEnd = EndAfter(c, count);
  return true;
}

Outcome FollowWav(XaFile& xa, EncodeCursor& c, std::int32_t need, Prompter& prompter) {
  SetCount(c, need);
  c.ClearEnd = c.GrowEnd = EndAfter(c, need);
  return FitChannelToFile(xa, c, prompter) ? Outcome::Done : Outcome::Failed;
}

// A WAV longer than the channel: it runs into what follows, or the file may have to grow.
Outcome DecideLonger(XaFile& xa, EncodeCursor& c, std::int32_t need, Prompter& prompter) {
  ChannelRecord trial = c.Channel;
  trial.SectorCount = need;
  if (CheckCollisionExcept(xa, trial, c.Entry) != 0) {
    LengthChoice choice = prompter.ChooseLength(text::kFollowingOverlap, text::kFitBeforeFollowing);
    if (choice == LengthChoice::Cancel) return Outcome::Cancelled;
    if (choice == LengthChoice::SecondChoice) {
      SetCount(c, trial.SectorCount);
      c.ClearEnd = c.GrowEnd = EndAfter(c, trial.SectorCount);
    }
    return Outcome::Done;
  }
  if (c.Channel.SectorCount > 0) {
    LengthChoice choice = prompter.ChooseLength(text::kWavLonger, text::kFollowWav);
    if (choice == LengthChoice::Cancel) return Outcome::Cancelled;
    if (choice == LengthChoice::SecondChoice) return FollowWav(xa, c, need, prompter);
    return Outcome::Done;
  }
  return FollowWav(xa, c, need, prompter);
}

// Compares the WAV's length with the channel's and asks which to follow: Cancelled on
// Cancel, Failed when growing the file for it failed.
Outcome DecideLength(XaFile& xa, EncodeCursor& c, std::int32_t need, Prompter& prompter) {
  const std::int32_t count = c.Channel.SectorCount;
  if (need == count) return Outcome::Done;
  if (need > count) return DecideLonger(xa, c, need, prompter);
  LengthChoice choice = prompter.ChooseLength(text::kWavShorter, text::kFollowWav);
  if (choice == LengthChoice::Cancel) return Outcome::Cancelled;
  c.GrowEnd = EndAfter(c, need);
  if (choice == LengthChoice::SecondChoice) {
    SetCount(c, need);
    c.ReuseEnd = c.GrowEnd;
  }
  return Outcome::Done;
}

// The first pass's step: re-encodes the channel's next own sector below `limit`.
PassStep EncodeNextChannelSector(ImportRun& run, std::int32_t limit) {
  SectorInfo info;
  const PassStep found = FindChannelSector(run.Xa, run.Import.Cursor, limit, info);
  return found == PassStep::Found ? EncodeAt(run, info.Subheader) : found;
}

// The second pass's step: one interleave step on, asking before data or another channel
// is overwritten. Declined when a question was answered "キャンセル".
Outcome EncodeNewSector(ImportRun& run, std::int32_t limit, const SectorInfo& sectorTemplate) {
  EncodeCursor& c = run.Import.Cursor;
  const std::int64_t next = std::int64_t{c.Cursor} + c.Channel.Interleave;
  if (next >= limit) {
    c.Cursor = limit;
    return Outcome::Done;
  }
  c.Cursor = static_cast<std::int32_t>(next);
  SectorInfo info;
  if (ReadSubheader(run.Xa, c.Cursor, info) != 0) return Outcome::Failed;
  Outcome asked = Outcome::Done;
  if (info.Kind == SectorData) {
    asked = ConfirmOverwrite(run, c.DataOverwriteConfirmed, text::kAskOverwriteData);
  } else if (info.Kind == SectorAudio) {
    asked = ConfirmOverwrite(run, c.AudioOverwriteConfirmed, text::kAskOverwriteAudio);
  }
  return asked == Outcome::Done ? Continue(EncodeAt(run, sectorTemplate.Subheader)) : asked;
}

// The third pass's step: empties the channel's next own sector below `limit`.
PassStep ClearNextChannelSector(XaFile& xa, EncodeCursor& c, std::int32_t limit) {
  SectorInfo info;
  const PassStep found = FindChannelSector(xa, c, limit, info);
  if (found != PassStep::Found) return found;
  std::uint8_t empty[kSectorBytes];
  MakeEmptySector(xa, empty, false);
  return WriteSector(xa, c.Cursor, empty) == 0 ? PassStep::Written : PassStep::Failed;
}

// Sets the end-of-file bit on the last sector written. A sector that cannot be read keeps
// its sound without the mark; a mark that cannot be written fails the import.
PassStep MarkChannelEnd(XaFile& xa, const EncodeCursor& c) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  if (ReadSector(xa, c.LastWritten, sector, info) != 0) return PassStep::Written;
  sector[2] |= kSubmodeEof;
  sector[6] |= kSubmodeEof;
  return WriteSector(xa, c.LastWritten, sector) == 0 ? PassStep::Written : PassStep::Failed;
}

// Tells the journal of a running edit that the channel's slots up to `end` are to be written.
void PlanChannelWrites(XaFile& xa, const EncodeCursor& c, std::int32_t end) {
  if (xa.Journal != nullptr) xa.Journal->Plan({c.Channel.FirstSector, c.Channel.Interleave, end});
}

// The three passes, the end mark between the second and the third.
Outcome WritePasses(ImportRun& run, const SectorInfo& sectorTemplate, ProgressMonitor& progress) {
  EncodeCursor& c = run.Import.Cursor;
  PlanChannelWrites(run.Xa, c, std::max(c.GrowEnd, c.ClearEnd));
  c.Cursor = c.Channel.FirstSector - 1;
  Outcome end = Settle(run, RunPass(c, c.ReuseEnd, progress, [&] {
                         return Continue(EncodeNextChannelSector(run, c.ReuseEnd));
                       }));
  if (end != Outcome::Done) return end;
  c.Cursor = c.LastWritten;
  end = Settle(run, RunPass(c, c.GrowEnd, progress,
                            [&] { return EncodeNewSector(run, c.GrowEnd, sectorTemplate); }));
  if (end != Outcome::Done) return end;
  if (c.LastWritten >= c.Channel.FirstSector && MarkChannelEnd(run.Xa, c) == PassStep::Failed)
    return Outcome::Failed;
  c.Cursor = c.LastWritten;
  return RunPass(c, c.ClearEnd, progress,
                 [&] { return Continue(ClearNextChannelSector(run.Xa, c, c.ClearEnd)); });
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
  c.CutToFile = false;
}

Outcome ImportFrames(XaFile& xa, Importer& importer, FrameSource& source, ProgressMonitor& progress,
                     Prompter& prompter) {
  EncodeCursor& c = importer.Cursor;
  const Quality quality = QualityOf(c.Channel);
  const std::int32_t need = SectorsNeeded(quality, source.SetTargetRate(XaRate(quality)));
  importer.LastCut = {};
  if (const Outcome decided = DecideLength(xa, c, need, prompter); decided != Outcome::Done)
    return decided;
  importer.LastCut = {std::int64_t{need} * c.Channel.Interleave,
                      std::int64_t{c.Channel.SectorCount} * c.Channel.Interleave, c.CutToFile};
  SectorInfo sectorTemplate;
  if (ReadSubheader(xa, c.Channel.FirstSector, sectorTemplate) != 0) return Outcome::Failed;
  ImportPipeline sectors(xa, importer.Encoder, importer.TwoThreads);
  ImportRun run{xa, importer, source, prompter, sectors};
  progress.Start();
  const Outcome outcome = WritePasses(run, sectorTemplate, progress);
  progress.Finish();
  return outcome;
}

std::string SoundCutLengths(const SoundCut& cut) {
  return FormatPlayingTime(cut.SourceSpan) + " → " +
         FormatPlayingTime(std::max<std::int64_t>(cut.WrittenSpan, 0));
}

bool SoundCutNamesSettings(const XaFile& xa, const SoundCut& cut) {
  return cut.ByFileSize && !xa.Entry.Active;
}

std::string SoundCutReport(const XaFile& xa, const SoundCut& cut) {
  if (!cut.Cut()) return {};
  std::string report = text::kSoundCut + SoundCutLengths(cut);
  if (SoundCutNamesSettings(xa, cut)) report += std::string(" ") + text::kSoundCutBySize;
  return report;
}

Outcome ImportWav(XaFile& xa, Importer& importer, const std::string& path,
                  ProgressMonitor& progress, Prompter& prompter) {
  AudioFile& reader = importer.Reader;
  if (reader.Open(path) != 0) {
    xa.LastErrorText = reader.LastErrorText;
    return Outcome::Failed;
  }
  importer.Encoder.HighQuality = importer.HighQuality;
  Outcome outcome;
  if (importer.HighQuality) {
    ResampledFrames converted(reader);
    outcome = ImportFrames(xa, importer, converted, progress, prompter);
  } else {
    outcome = ImportFrames(xa, importer, reader, progress, prompter);
  }
  reader.Close();
  return outcome;
}

Outcome EraseChannel(XaFile& xa, EncodeCursor& c, ProgressMonitor& progress) {
  progress.Start();
  PlanChannelWrites(xa, c, c.ClearEnd);
  c.Cursor = c.Channel.FirstSector - 1;
  const Outcome outcome = RunPass(
      c, c.ClearEnd, progress, [&] { return Continue(ClearNextChannelSector(xa, c, c.ClearEnd)); });
  progress.Finish();
  return outcome;
}

}  // namespace sorvane
