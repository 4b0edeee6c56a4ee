// The history of a file's edits: how every edit command starts and ends (the read-only and
// lock checks, then the undo journal's entry), and undo, redo and the recovery of an edit
// that a crash left unfinished. The editor and sorvane-cli both go through these.
#pragma once

#include <string>
#include <vector>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/undo_journal.h"
#include "edit/workspace.h"

namespace sorvane {

// Starts an edit of the open file: refuses a read-only file, takes the file's lock unless
// this process holds it already, and makes the journal's entry durable. Done, or Failed
// with LastErrorText before anything was written.
Outcome StartEdit(Workspace& workspace, const char* command);
// Ends the edit started last: its entry is closed with the file as it now is. `outcome`
// becomes Failed with "書き込みエラー" when the file or the entry could not be synced.
Outcome FinishEdit(Workspace& workspace, Outcome outcome);

// Runs `body` (returning an Outcome) between StartEdit and FinishEdit.
template <typename Body>
Outcome RunEdit(Workspace& workspace, const char* command, Body body) {
  if (StartEdit(workspace, command) != Outcome::Done) return Outcome::Failed;
  return FinishEdit(workspace, body());
}

// FinishEdit of an edit that encodes a sound. When its source could not be read to the end
// and the edit had written something, the edit is then taken back and cannot be redone, so
// that the file is exactly as it was and the tables are scanned again; the outcome stays
// Failed with "読み取りエラー".
Outcome FinishSoundEdit(Workspace& workspace, Outcome outcome, ProgressMonitor& progress);

// Takes the newest edit back ("元に戻す"), or redoes the newest undone one ("やり直し"):
// the file gets back its bytes exactly; `settings` the file settings it had. Failed with
// LastErrorText: nothing to undo or redo, the file changed since, a read-only or locked
// file, or the journal or the file could not be written. The caller scans the file again.
Outcome UndoEdit(Workspace& workspace, KeptSettings& settings);
Outcome RedoEdit(Workspace& workspace, KeptSettings& settings);

// One line per edit that can be undone, newest first: number, local date and time,
// command, bytes kept, and "壊れています" after an entry whose checksums or lengths disagree.
std::vector<std::string> ListEdits(Workspace& workspace);

// Removes the newest entry that could be undone (a damaged one too), after asking, so that
// the older edits can be undone. Declined when the answer was no; Failed with LastErrorText
// (nothing to undo, a read-only or locked file, the journal could not be written).
Outcome ForgetNewestEdit(Workspace& workspace, Prompter& prompter);

// Before the file at `path` is scanned: an undo or redo of it that a crash interrupted is
// completed under the file's lock when `changes`, else only found. Cancelled: there was
// none. Declined: there is one and it was left. Done: it was completed. Failed: the
// workspace file's LastErrorText says why (it stays closed).
Outcome CompleteInterruptedHistory(Workspace& workspace, const std::string& path, bool changes);

// When an edit of the open file was left unfinished by a crash or a kill, asks whether to
// put the file back as it was before it. OK: Done after undoing it (the caller scans
// again, with `settings`); "キャンセル": Declined, the edit is kept and can be undone later.
// Cancelled when there was nothing to recover; Failed when the recovery failed.
Outcome RecoverUnfinishedEdit(Workspace& workspace, Prompter& prompter, KeptSettings& settings);

// True when an edit can be undone (Undo) or redone (Redo).
bool CanTakeBack(Workspace& workspace, JournalDirection direction);

// After an undo or redo in the editor: the file's length taken again, the whole file
// scanned, and the three file settings put back as `settings` has them. Cancelled: the
// scan was cancelled and the tables hold what it found. Failed: the scan failed and closed
// the file.
Outcome ReloadAfterHistory(Workspace& workspace, const KeptSettings& settings,
                           ProgressMonitor& progress);

// After an import, append or delete that was cancelled in the editor: the file's length
// taken again and the file scanned to the extent it was (its first sectors, or all of it
// after 全検索), then the three file settings put back as they were before the scan, as
// after an undo, so that the list shows what the file holds and a later size adjustment
// writes what it would have. Outcomes as ReloadAfterHistory.
Outcome RescanAfterCancel(Workspace& workspace, ProgressMonitor& progress);

enum class EditorHold {
  Held,       // the editor holds the file's lock until it closes the file
  InUse,      // another program holds it: edits are refused while it does
  ReadOnly,   // the file cannot be written anyway
  Recovered,  // held, and an unfinished edit was taken back (the file was reloaded)
  Failed,     // the recovery or the reload after it failed (LastErrorText; maybe closed)
};

// The editor's hold on a file it has just opened: its lock (a file another program holds
// opens read-only), then the question about an edit a crash left unfinished.
EditorHold HoldForEditor(Workspace& workspace, Prompter& prompter, ProgressMonitor& progress);

}  // namespace sorvane
