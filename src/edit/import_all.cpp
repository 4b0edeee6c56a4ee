// The running half of import_all.h: each file's imports as one edit.
#include "edit/import_all.h"

#include <memory>

#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "container/file_size.h"
#include "container/journal_entry.h"
#include "edit/cancel_watch.h"
#include "edit/edit_history.h"
#include "edit/image_open.h"
#include "input/audio_file.h"

namespace sorvane {
namespace {

// nullptr when the sound can be read from its start to its end, else why not: a sound that
// fails part-way is left out before any of it is written.
const char* RefuseUnreadable(const std::string& path) {
  AudioFile reader;
  if (reader.Open(path) != 0) return reader.LastErrorText;
  const std::int32_t frames = reader.SetTargetRate(reader.SourceRate());
  std::int16_t frame[2];
  for (std::int32_t k = 0; k < frames && !reader.ReadFailed(); ++k) reader.ReadFrame(frame);
  const bool whole = !reader.ReadFailed();
  reader.Close();
  return whole ? nullptr : text::kReadError;
}

int EntryOfChannel(const XaFile& xa, int channel) {
  for (int k = 0; k < xa.AudioChannelTable.Count; ++k)
    if (xa.AudioChannelTable.Records[k].Channel == channel) return k;
  return -1;
}

// One sound into its channel, with an encoder state of its own, then the file's size brought
// in step, as a lone import does. A sound left out (it cannot be read to its end, or its
// channel is gone) is reported in `s`, and the result is Done; otherwise the import's.
Outcome ImportOne(Workspace& w, const PlannedImport& p, const ImportAllOptions& options,
                  ProgressMonitor& progress, Prompter& prompter, SoundImport& s) {
  s = {p.Channel, p.Sound, {}, Outcome::Failed, p.Error};
  if (!p.Error.empty()) return Outcome::Done;
  XaFile& xa = w.File;
  const int entry = EntryOfChannel(xa, p.Channel);
  const char* refused = entry < 0 ? text::kNoSuchChannel : RefuseUnreadable(p.Sound);
  if (refused != nullptr) {
    s.Message = refused;
    return Outcome::Done;
  }
  if (options.Starting) options.Starting(p.Sound, xa.AudioChannelTable.Records[entry]);
  w.Import.Encoder = EncoderState{};
  w.Import.HighQuality = options.HighQuality;
  SelectChannel(w.Import.Cursor, xa.AudioChannelTable.Records[entry]);
  s.Result = ImportWav(xa, w.Import, p.Sound, progress, prompter);
  if (s.Result != Outcome::Failed && AdjustFileSize(xa, prompter) != 0) s.Result = Outcome::Failed;
  s.Cut = w.Import.LastCut;
  // A length question answered "キャンセル" leaves no text of its own.
  if (s.Result == Outcome::Cancelled)
    s.Message = text::kCancelled;
  else if (s.Result != Outcome::Done)
    s.Message = xa.LastErrorText;
  return s.Result;
}

// The imports into the open target. Failed: a write or the journal failed, which ends the
// file's imports; Cancelled or Declined end the run.
Outcome ImportSounds(Workspace& w, const TargetPlan& target, const ImportAllOptions& options,
                     ProgressMonitor& progress, Prompter& prompter, TargetImport& result) {
  for (const PlannedImport& p : target.Imports) {
    SoundImport s;
    const Outcome outcome = ImportOne(w, p, options, progress, prompter, s);
    result.Sounds.push_back(s);
    if (outcome != Outcome::Done) return outcome;
  }
  return Outcome::Done;
}

// Opens the target (the first of an image's entries) or, with the file open already, moves to
// the target's entry of the image (an XA file stays as it is), and scans it.
Outcome OpenTarget(Workspace& w, const TargetPlan& target, bool sameImage,
                   const ImportAllOptions& options, ProgressMonitor& progress) {
  if (!sameImage)
    return OpenAndScan(w.File, target.Source.File, options.Extent, progress, target.Source.Entry);
  if (!target.Source.Entry.empty() && SwitchDiscEntry(w.File, target.Source.Entry) != 0)
    return Outcome::Failed;
  CancelWatch watch(progress);
  const std::int32_t limit =
      options.Extent == ScanExtent::WholeFile ? kWalkLimitFull : kWalkLimitOpen;
  if (ScanChannels(w.File, limit, watch) != 0) return Outcome::Failed;
  return watch.Cancelled() ? Outcome::Cancelled : Outcome::Done;
}

bool SameImage(const TargetPlan& a, const TargetPlan& b) {
  return !a.Source.Entry.empty() && !b.Source.Entry.empty() && a.Source.File == b.Source.File;
}

// The targets [first, end) of one file (one image's entries), as one edit.
Outcome ImportFile(const ImportAllPlan& plan, std::size_t first, std::size_t end,
                   const ImportAllOptions& options, ProgressMonitor& progress, Prompter& prompter,
                   std::vector<TargetImport>& results) {
  auto w = std::make_unique<Workspace>();
  bool started = false;
  Outcome outcome = Outcome::Done;
  for (std::size_t k = first; k < end && outcome == Outcome::Done; ++k) {
    const TargetPlan& target = plan.Targets[k];
    results.push_back({SourceName(target.Source.File, target.Source.Entry), {}, Outcome::Done, {}});
    TargetImport& result = results.back();
    if (target.Imports.empty()) continue;
    // An undo or redo a crash interrupted is completed first, as before every changing command.
    if (!started && CompleteInterruptedHistory(*w, target.Source.File, true) == Outcome::Failed) {
      outcome = Outcome::Failed;
    } else {
      outcome = OpenTarget(*w, target, started, options, progress);
    }
    if (outcome == Outcome::Done && !started) {
      outcome = StartEdit(*w, "import-all");
      started = outcome == Outcome::Done;
    }
    if (outcome == Outcome::Done)
      outcome = ImportSounds(*w, target, options, progress, prompter, result);
    if (outcome == Outcome::Failed && result.Message.empty())
      result.Message = w->File.LastErrorText;
    result.Result = outcome;
  }
  if (started) {
    const Outcome finished = FinishEdit(*w, outcome);
    if (finished == Outcome::Failed && outcome != Outcome::Failed) {
      results.back().Result = Outcome::Failed;
      results.back().Message = w->File.LastErrorText;
    }
    outcome = finished;
  }
  return outcome;
}

// What an in-place run keeps of the editor's workspace and gives back afterwards.
struct KeptWorkspace {
  explicit KeptWorkspace(const Workspace& w)
      : Cursor(w.Import.Cursor),
        Encoder(w.Import.Encoder),
        HighQuality(w.Import.HighQuality),
        LastCut(w.Import.LastCut),
        Entry(w.File.Entry.Active ? w.File.Entry.Name : std::string()),
        Settings(journal::SettingsOf(w.File)) {}
  void GiveBack(Workspace& w) const {
    w.Import.Cursor = Cursor;
    w.Import.Encoder = Encoder;
    w.Import.HighQuality = HighQuality;
    w.Import.LastCut = LastCut;
  }
  void Settle(XaFile& xa) const {
    xa.ChannelPostGap = Settings.ChannelPostGap;
    xa.EndPostGap = Settings.EndPostGap;
    xa.ResizePermission = static_cast<ResizePermissionValue>(Settings.ResizePermission);
  }

  EncodeCursor Cursor;
  EncoderState Encoder;
  bool HighQuality;
  SoundCut LastCut;
  std::string Entry;  // the image's entry that is open, or empty for an XA file
  KeptSettings Settings;
};

// The open file's target brought up to date: the entry switched to (the file scanned again),
// with the workspace's file settings when it is the entry that was open.
Outcome ScanOpenTarget(Workspace& w, const TargetPlan& target, const KeptWorkspace& kept,
                       const ImportAllOptions& options, ProgressMonitor& progress) {
  TargetPlan own;
  own.Source.Entry = target.Source.Entry;
  const Outcome scanned = OpenTarget(w, own, true, options, progress);
  if (scanned == Outcome::Done && target.Source.Entry == kept.Entry) kept.Settle(w.File);
  return scanned;
}

// The imports of every target into the open file, as the running edit.
Outcome ImportOpenTargets(Workspace& w, const ImportAllPlan& plan, const KeptWorkspace& kept,
                          const ImportAllOptions& options, ProgressMonitor& progress,
                          Prompter& prompter, std::vector<TargetImport>& results) {
  Outcome outcome = Outcome::Done;
  bool unread = false;  // a target that did not open or scan when planned
  for (const TargetPlan& target : plan.Targets) {
    results.push_back(
        {SourceName(target.Source.File, target.Source.Entry), {}, Outcome::Done, target.Error});
    TargetImport& result = results.back();
    if (!target.Error.empty()) result.Result = Outcome::Failed;
    unread = unread || !target.Error.empty();
    if (target.Imports.empty() || !target.Error.empty()) continue;
    outcome = ScanOpenTarget(w, target, kept, options, progress);
    if (outcome == Outcome::Done)
      outcome = ImportSounds(w, target, options, progress, prompter, result);
    if (outcome == Outcome::Failed && result.Message.empty()) result.Message = w.File.LastErrorText;
    result.Result = outcome;
    if (outcome != Outcome::Done) break;
  }
  return outcome == Outcome::Done && unread ? Outcome::Failed : outcome;
}

bool AnyImport(const ImportAllPlan& plan) {
  for (const TargetPlan& target : plan.Targets)
    if (!target.Imports.empty() && target.Error.empty()) return true;
  return false;
}

}  // namespace

std::string ImportAllTargetOf(const XaFile& xa) {
  return xa.Entry.Active ? xa.Entry.Image : xa.Path;
}

Outcome RunImportAllOpen(Workspace& workspace, const ImportAllPlan& plan,
                         const ImportAllOptions& options, ProgressMonitor& progress,
                         Prompter& prompter, std::vector<TargetImport>& results) {
  if (!AnyImport(plan))
    return ImportOpenTargets(workspace, plan, KeptWorkspace(workspace), options, progress, prompter,
                             results);
  const KeptWorkspace kept(workspace);
  // The entry records the settings the workspace has, whatever entry the batch ends in.
  if (StartEdit(workspace, "import-all") != Outcome::Done) return Outcome::Failed;
  Outcome outcome = ImportOpenTargets(workspace, plan, kept, options, progress, prompter, results);
  kept.GiveBack(workspace);
  // The entry that was open, to its end: what the list shows afterwards.
  ImportAllOptions whole = options;
  whole.Extent = ScanExtent::WholeFile;
  TargetPlan own;
  own.Source.Entry = kept.Entry;
  const Outcome rescanned = ScanOpenTarget(workspace, own, kept, whole, progress);
  workspace.File.ScannedToEnd = rescanned == Outcome::Done;
  outcome = FinishEdit(workspace, outcome);
  if (rescanned != Outcome::Failed) return outcome;
  CloseXaFile(workspace.File);
  return Outcome::Failed;
}

Outcome RunImportAll(const ImportAllPlan& plan, const ImportAllOptions& options,
                     ProgressMonitor& progress, Prompter& prompter,
                     std::vector<TargetImport>& results) {
  Outcome run = Outcome::Done;
  for (std::size_t first = 0; first < plan.Targets.size();) {
    std::size_t end = first + 1;
    while (end < plan.Targets.size() && SameImage(plan.Targets[first], plan.Targets[end])) ++end;
    if (!plan.Targets[first].Error.empty()) {
      results.push_back(
          {SourceName(plan.Targets[first].Source.File, plan.Targets[first].Source.Entry),
           {},
           Outcome::Failed,
           plan.Targets[first].Error});
      run = Outcome::Failed;
      first = end;
      continue;
    }
    const Outcome outcome = ImportFile(plan, first, end, options, progress, prompter, results);
    if (outcome == Outcome::Cancelled || outcome == Outcome::Declined) return outcome;
    if (outcome == Outcome::Failed) run = Outcome::Failed;
    first = end;
  }
  return run;
}

ImportAllTally TallyImportAll(const ImportAllPlan& plan, const std::vector<TargetImport>& done) {
  ImportAllTally tally;
  tally.Skipped = static_cast<int>(plan.Unmatched.size() + plan.Duplicates.size());
  for (const TargetImport& target : done) {
    if (target.Result == Outcome::Failed && tally.FirstFailure.empty())
      tally.FirstFailure = target.Message;
    for (const SoundImport& s : target.Sounds) {
      const bool ok = s.Result == Outcome::Done;
      tally.Imported += ok;
      tally.Cut += ok && s.Cut.Cut();
      tally.Failed += s.Result == Outcome::Failed;
      if (s.Result == Outcome::Failed && tally.FirstFailure.empty()) tally.FirstFailure = s.Message;
    }
  }
  return tally;
}

}  // namespace sorvane
