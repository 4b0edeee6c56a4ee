#include <cstdio>

#include "cli/command_descriptor.h"
#include "edit/channel_export.h"

namespace sorvane::cli {

int RunExport(CommandRun& run) {
  XaFile& xa = run.Work.File;
  const Outcome outcome = ExportChannel(run.Work, *run.Channel, run.Argument(2), run.Progress);
  // A cancel has its message too ("キャンセルしました。").
  if (outcome != Outcome::Done) std::fprintf(run.Io.Err, "%s\n", xa.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
