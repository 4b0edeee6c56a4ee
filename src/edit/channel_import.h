// The import: a channel's sound replaced from a WAV file in place, then the file brought to
// its length (the editor's "WAV入力" and `sorvane-cli import`).
#pragma once

#include <string>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/workspace.h"

namespace sorvane {

// Imports the WAV at `wavPath` into entry `entry` of the audio table, then adjusts the
// file's size whatever the import did (even after a cancel of the length dialog). Done;
// Cancelled: the length dialog or the progress display was cancelled (no message);
// Declined: an overwrite question was answered "キャンセル"; Failed. A Declined or Failed
// import's message (LastErrorText) is shown through `prompter` before the size adjustment
// may ask its question, so the caller does not show it again.
Outcome ImportChannel(Workspace& workspace, int entry, const std::string& wavPath,
                      ProgressMonitor& progress, Prompter& prompter);

}  // namespace sorvane
