#include <cstdio>

#include "cli/command_descriptor.h"
#include "edit/edit_history.h"

namespace sorvane::cli {
namespace {

int Report(CommandRun& run, Outcome outcome) {
  if (outcome == Outcome::Failed) std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace

int RunUndo(CommandRun& run) {
  if (run.Args.Has("--list")) {
    for (const std::string& line : ListEdits(run.Work))
      std::fprintf(run.Io.Out, "%s\n", line.c_str());
    return ExitDone;
  }
  KeptSettings settings;
  return Report(run, UndoEdit(run.Work, settings));
}

int RunRedo(CommandRun& run) {
  KeptSettings settings;
  return Report(run, RedoEdit(run.Work, settings));
}

}  // namespace sorvane::cli
