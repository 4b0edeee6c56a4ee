#include "edit/channel_import.h"

#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "edit/edit_history.h"
#include "edit/import_passes.h"

namespace sorvane {
namespace {

Outcome ImportAndAdjust(Workspace& workspace, int entry, const std::string& wavPath,
                        ProgressMonitor& progress, Prompter& prompter) {
  XaFile& xa = workspace.File;
  SelectChannel(workspace.Import.Cursor, xa.AudioChannelTable.Records[entry]);
  const Outcome outcome = ImportWav(xa, workspace.Import, wavPath, progress, prompter);
  // The write refused by a full journal had followed others: the file has changed.
  if (workspace.Journal.Stopped()) xa.LastErrorText = text::kJournalStopped;
  if (outcome == Outcome::Declined || outcome == Outcome::Failed)
    prompter.NotifyUser(xa.LastErrorText);
  if (AdjustFileSize(xa, prompter) == 0) return outcome;
  if (workspace.Journal.Stopped()) xa.LastErrorText = text::kJournalStopped;
  // The sound is in; only the file's length could not be brought in step with it.
  if (outcome != Outcome::Failed) prompter.NotifyUser(xa.LastErrorText);
  return Outcome::Failed;
}

}  // namespace

Outcome ImportChannel(Workspace& workspace, int entry, const std::string& wavPath,
                      ProgressMonitor& progress, Prompter& prompter) {
  XaFile& xa = workspace.File;
  if (StartEdit(workspace, "import") != Outcome::Done) {
    prompter.NotifyUser(xa.LastErrorText);
    return Outcome::Failed;
  }
  const Outcome imported = ImportAndAdjust(workspace, entry, wavPath, progress, prompter);
  const Outcome outcome = FinishSoundEdit(workspace, imported, progress);
  // The import has shown its own failures; only a failed end of the edit is new.
  if (outcome == Outcome::Failed && imported != Outcome::Failed)
    prompter.NotifyUser(xa.LastErrorText);
  return outcome;
}

}  // namespace sorvane
