#include <cstdio>

#include "cli/command_descriptor.h"
#include "cli/position_options.h"
#include "edit/channel_export.h"
#include "edit/channel_part.h"
#include "edit/list_position.h"

namespace sorvane::cli {

int CheckExport(CommandRun& run) { return CheckPositionUnits(run); }

int RunExport(CommandRun& run) {
  XaFile& xa = run.Work.File;
  Outcome outcome = Outcome::Done;
  if (run.Args.Has("--from") || run.Args.Has("--to")) {
    const ChannelRecord& record = *run.Channel;
    FrameSpan span;
    if (const int from = FrameOption(run, "--from", 0, span.From); from != ExitDone) return from;
    const std::int64_t end = FrameAtSector(record, RecordEnd(record));
    if (const int to = FrameOption(run, "--to", end, span.To); to != ExitDone) return to;
    outcome = ExportChannelPart(run.Work, record, span, run.Argument(2), run.Progress);
  } else {
    outcome = ExportChannel(run.Work, *run.Channel, run.Argument(2), run.Progress);
  }
  // A cancel has its message too ("キャンセルしました。").
  if (outcome != Outcome::Done) std::fprintf(run.Io.Err, "%s\n", xa.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
