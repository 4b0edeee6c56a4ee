#include "edit/channel_import.h"

#include "container/file_size.h"
#include "edit/import_passes.h"

namespace sorvane {

Outcome ImportChannel(Workspace& workspace, int entry, const std::string& wavPath,
                      ProgressMonitor& progress, Prompter& prompter) {
  XaFile& xa = workspace.File;
  if (CheckWritable(xa) != 0) {
    prompter.NotifyUser(xa.LastErrorText);
    return Outcome::Failed;
  }
  SelectChannel(workspace.Import.Cursor, xa.AudioChannelTable.Records[entry]);
  const Outcome outcome = ImportWav(xa, workspace.Import, wavPath, progress, prompter);
  if (outcome == Outcome::Declined || outcome == Outcome::Failed)
    prompter.NotifyUser(xa.LastErrorText);
  if (AdjustFileSize(xa, prompter) == 0) return outcome;
  // The sound is in; only the file's length could not be brought in step with it.
  if (outcome != Outcome::Failed) prompter.NotifyUser(xa.LastErrorText);
  return Outcome::Failed;
}

}  // namespace sorvane
