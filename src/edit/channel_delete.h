// The channel delete: after the user confirms, the channel's sectors become empty sectors,
// its entry leaves the table and the file is brought to its length. Channel data is never
// moved.
#pragma once

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/workspace.h"

namespace sorvane {

// Deletes entry `index` of the audio table. Declined: the confirmation was answered
// "キャンセル" (or there is no such entry), nothing changed. Failed: a sector could not be
// read or written; the sectors emptied so far stay empty and the entry stays listed (the
// editor shows no message; LastErrorText has the access's). Cancelled: the progress
// display was cancelled; the entry goes all the same, and the sectors not yet reached keep
// their sound. After Done or Cancelled the file's size is adjusted.
Outcome DeleteChannel(Workspace& workspace, int index, ProgressMonitor& progress,
                      Prompter& prompter);

}  // namespace sorvane
