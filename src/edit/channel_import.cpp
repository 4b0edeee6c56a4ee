#include "edit/channel_import.h"

#include "container/file_size.h"
#include "edit/import_passes.h"

namespace sorvane {

Outcome ImportChannel(Workspace& workspace, int entry, const std::string& wavPath,
                      ProgressMonitor& progress, Prompter& prompter) {
  XaFile& xa = workspace.File;
  SelectChannel(workspace.Import.Cursor, xa.AudioChannelTable.Records[entry]);
  const Outcome outcome = ImportWav(xa, workspace.Import, wavPath, progress, prompter);
  if (outcome == Outcome::Declined || outcome == Outcome::Failed)
    prompter.NotifyUser(xa.LastErrorText);
  AdjustFileSize(xa, prompter);
  return outcome;
}

}  // namespace sorvane
