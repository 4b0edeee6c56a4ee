#include "edit/edit_history.h"

#include <cstdio>
#include <ctime>

#include "common/fixed_texts.h"
#include "edit/file_open.h"

namespace sorvane {
namespace {

// The checks every change of the file passes first: read-only, then the lock.
bool MayChange(XaFile& xa) { return CheckWritable(xa) == 0 && LockXaFile(xa) == 0; }

// Done, or Failed with the text of what refused it.
Outcome OutcomeOf(XaFile& xa, TakeBack result, JournalDirection direction) {
  switch (result) {
    case TakeBack::Done:
      return Outcome::Done;
    case TakeBack::Nothing:
      xa.LastErrorText =
          direction == JournalDirection::Undo ? text::kNothingToUndo : text::kNothingToRedo;
      break;
    case TakeBack::Changed:
      xa.LastErrorText = text::kChangedSince;
      break;
    case TakeBack::Damaged:
      xa.LastErrorText = text::kJournalDamaged;
      break;
    case TakeBack::JournalFailed:
      xa.LastErrorText = text::kJournalFailed;
      break;
    case TakeBack::WriteFailed:
      break;  // the write's own message
  }
  return Outcome::Failed;
}

Outcome TakeBackNewest(Workspace& workspace, JournalDirection direction, KeptSettings& settings) {
  XaFile& xa = workspace.File;
  if (!MayChange(xa)) return Outcome::Failed;
  xa.Journal = nullptr;
  return OutcomeOf(xa, workspace.Journal.Apply(xa, direction, settings), direction);
}

}  // namespace

Outcome StartEdit(Workspace& workspace, const char* command) {
  XaFile& xa = workspace.File;
  if (!MayChange(xa)) return Outcome::Failed;
  if (!workspace.Journal.Begin(xa, command)) {
    xa.LastErrorText = text::kJournalFailed;
    return Outcome::Failed;
  }
  xa.Journal = &workspace.Journal;
  workspace.Import.SourceFailed = false;  // FinishSoundEdit reads what this edit sets
  return Outcome::Done;
}

Outcome FinishEdit(Workspace& workspace, Outcome outcome) {
  XaFile& xa = workspace.File;
  xa.Journal = nullptr;
  const bool ended = workspace.Journal.End(xa);
  if (workspace.Journal.Stopped()) {
    // The file had already changed when the journal could keep no more: undo puts it back.
    xa.LastErrorText = text::kJournalStopped;
    return Outcome::Failed;
  }
  if (ended || outcome == Outcome::Failed) return outcome;
  xa.LastErrorText = text::kWriteError;
  return Outcome::Failed;
}

Outcome FinishSoundEdit(Workspace& workspace, Outcome outcome, ProgressMonitor& progress) {
  // An edit that wrote nothing leaves no entry: undo would take back the one before it.
  const bool putBack = workspace.Import.SourceFailed && workspace.Journal.Changed();
  outcome = FinishEdit(workspace, outcome);
  if (!putBack) return outcome;
  XaFile& xa = workspace.File;
  const char* failure = xa.LastErrorText;
  KeptSettings settings;
  // Should the undo fail, the edit stays in the history and can be undone later.
  if (UndoEdit(workspace, settings) == Outcome::Done) {
    workspace.Journal.ForgetRedo(xa);
    ReloadAfterHistory(workspace, settings, progress);
  }
  xa.LastErrorText = failure;
  return Outcome::Failed;
}

Outcome UndoEdit(Workspace& workspace, KeptSettings& settings) {
  return TakeBackNewest(workspace, JournalDirection::Undo, settings);
}

Outcome RedoEdit(Workspace& workspace, KeptSettings& settings) {
  return TakeBackNewest(workspace, JournalDirection::Redo, settings);
}

std::vector<std::string> ListEdits(Workspace& workspace) {
  std::vector<std::string> lines;
  int number = 0;
  for (const JournalListing& entry :
       workspace.Journal.List(workspace.File, JournalDirection::Undo)) {
    const std::time_t when = static_cast<std::time_t>(entry.Time);
    std::tm local{};
    ::localtime_r(&when, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    char line[192];
    std::snprintf(line, sizeof line, "%d  %s  %s  %lld%s%s", ++number, date, entry.Command.c_str(),
                  static_cast<long long>(entry.BytesKept), entry.Damaged ? "  " : "",
                  entry.Damaged ? text::kListDamaged : "");
    lines.push_back(line);
  }
  return lines;
}

Outcome ForgetNewestEdit(Workspace& workspace, Prompter& prompter) {
  XaFile& xa = workspace.File;
  if (!MayChange(xa)) return Outcome::Failed;
  if (workspace.Journal.List(xa, JournalDirection::Undo, false).empty()) {
    xa.LastErrorText = text::kNothingToUndo;
    return Outcome::Failed;
  }
  if (!prompter.AskOkCancel(text::kAskForget)) return Outcome::Declined;
  if (workspace.Journal.ForgetNewest(xa)) return Outcome::Done;
  xa.LastErrorText = text::kJournalFailed;
  return Outcome::Failed;
}

Outcome CompleteInterruptedHistory(Workspace& workspace, const std::string& path, bool changes) {
  XaFile& xa = workspace.File;
  CloseXaFile(xa);
  if (OpenForHistory(xa, path) != Outcome::Done) return Outcome::Cancelled;  // the opening says
  Outcome outcome = Outcome::Cancelled;
  if (workspace.Journal.HasInterrupted(xa)) {
    outcome = Outcome::Declined;
    KeptSettings settings;
    JournalDirection done;
    if (changes) {
      outcome = MayChange(xa)
                    ? OutcomeOf(xa, workspace.Journal.ResumeInterrupted(xa, settings, done),
                                JournalDirection::Undo)
                    : Outcome::Failed;
    }
  }
  // The settings the completion put back are the file's own: the scan after it reads them.
  const char* failure = xa.LastErrorText;
  CloseXaFile(xa);
  xa.LastErrorText = failure;
  return outcome;
}

Outcome RecoverUnfinishedEdit(Workspace& workspace, Prompter& prompter, KeptSettings& settings) {
  XaFile& xa = workspace.File;
  UndoJournal& journal = workspace.Journal;
  if (xa.ReadOnly || !xa.Locked || !journal.HasUnfinished(xa)) return Outcome::Cancelled;
  if (prompter.AskOkCancel(text::kAskRecover)) return UndoEdit(workspace, settings);
  if (journal.KeepUnfinished(xa)) return Outcome::Declined;
  xa.LastErrorText = text::kJournalFailed;
  return Outcome::Failed;
}

bool CanTakeBack(Workspace& workspace, JournalDirection direction) {
  const XaFile& xa = workspace.File;
  // Asked on every refresh of the menu: headers only, the bytes are checked by the undo.
  return xa.IsOpen() && !xa.ReadOnly && !workspace.Journal.List(xa, direction, false).empty();
}

namespace {

// The file's length taken again, the file scanned to `extent`, and `settings` put back.
Outcome Reload(Workspace& workspace, const KeptSettings& settings, ScanExtent extent,
               ProgressMonitor& progress) {
  XaFile& xa = workspace.File;
  // An entry of a disc image keeps its size; a file's size is what the edit left.
  if (!xa.Entry.Active) xa.SectorCount = SectorCountFor(xa, XaFileLength(xa));
  const Outcome scanned = ScanAgain(xa, extent, progress);
  if (scanned == Outcome::Failed) return scanned;
  xa.ChannelPostGap = settings.ChannelPostGap;
  xa.EndPostGap = settings.EndPostGap;
  xa.ResizePermission = xa.Entry.Active
                            ? ResizeForbidden
                            : static_cast<ResizePermissionValue>(settings.ResizePermission);
  return scanned;
}

}  // namespace

Outcome ReloadAfterHistory(Workspace& workspace, const KeptSettings& settings,
                           ProgressMonitor& progress) {
  return Reload(workspace, settings, ScanExtent::WholeFile, progress);
}

Outcome RescanAfterCancel(Workspace& workspace, ProgressMonitor& progress) {
  const XaFile& xa = workspace.File;
  const KeptSettings settings{xa.ChannelPostGap, xa.EndPostGap, xa.ResizePermission};
  return Reload(workspace, settings,
                xa.ScannedToEnd ? ScanExtent::WholeFile : ScanExtent::FirstSectors, progress);
}

EditorHold HoldForEditor(Workspace& workspace, Prompter& prompter, ProgressMonitor& progress) {
  XaFile& xa = workspace.File;
  if (xa.ReadOnly) return EditorHold::ReadOnly;
  // Every edit asks for the lock again, and is refused while the other program holds it.
  if (LockXaFile(xa) != 0) return EditorHold::InUse;
  KeptSettings settings;
  switch (RecoverUnfinishedEdit(workspace, prompter, settings)) {
    case Outcome::Done:
      return ReloadAfterHistory(workspace, settings, progress) == Outcome::Failed
                 ? EditorHold::Failed
                 : EditorHold::Recovered;
    case Outcome::Failed:
      return EditorHold::Failed;
    case Outcome::Cancelled:
    case Outcome::Declined:
      break;
  }
  return EditorHold::Held;
}

}  // namespace sorvane
