#include "edit/channel_delete.h"

#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "edit/edit_history.h"
#include "edit/import_passes.h"

namespace sorvane {

Outcome DeleteChannel(Workspace& workspace, int index, ProgressMonitor& progress,
                      Prompter& prompter) {
  XaFile& xa = workspace.File;
  if (index < 0 || index >= xa.AudioChannelTable.Count) return Outcome::Declined;
  return RunEdit(workspace, "delete", [&] {
    if (!prompter.AskOkCancel(text::kAskDelete)) return Outcome::Declined;
    EncodeCursor& cursor = workspace.Import.Cursor;
    SelectChannel(cursor, xa.AudioChannelTable.Records[index]);
    const Outcome erased = EraseChannel(xa, cursor, progress);
    if (erased == Outcome::Failed) return Outcome::Failed;
    xa.AudioChannelTable.RemoveAt(index);
    cursor.Entry = nullptr;
    return AdjustFileSize(xa, prompter) == 0 ? erased : Outcome::Failed;
  });
}

}  // namespace sorvane
