#include "edit/channel_delete.h"

#include "common/fixed_texts.h"
#include "container/file_size.h"

namespace sorvane {

DeleteResult DeleteChannel(XaFile& xa, EncodeCursor& cursor, int index, ProgressMonitor& progress,
                           Prompter& prompter) {
  if (index < 0 || index >= xa.AudioChannelTable.Count) return DeleteResult::Declined;
  if (!prompter.AskOkCancel(text::kAskDelete)) return DeleteResult::Declined;
  SelectChannel(cursor, xa.AudioChannelTable.Records[index]);
  if (EraseChannel(xa, cursor, progress) != 0) return DeleteResult::Failed;
  xa.AudioChannelTable.RemoveAt(index);
  cursor.Entry = nullptr;
  AdjustFileSize(xa, prompter);
  return DeleteResult::Done;
}

}  // namespace sorvane
