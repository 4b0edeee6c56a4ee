#include <cstdio>

#include "cli/command_descriptor.h"
#include "edit/channel_delete.h"

namespace sorvane::cli {

int RunDelete(CommandRun& run) {
  XaFile& xa = run.Work.File;
  const int index = static_cast<int>(run.Channel - xa.AudioChannelTable.begin());
  const Outcome outcome = DeleteChannel(run.Work, index, run.Progress, run.Prompter);
  // The editor shows nothing when the erase fails; a terminal needs a reason.
  if (outcome == Outcome::Failed) std::fprintf(run.Io.Err, "%s\n", xa.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
