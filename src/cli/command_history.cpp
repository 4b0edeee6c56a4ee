#include <cstdio>

#include "cli/command_descriptor.h"
#include "common/fixed_texts.h"
#include "edit/edit_history.h"

namespace sorvane::cli {
namespace {

int Report(CommandRun& run, Outcome outcome) {
  if (outcome == Outcome::Failed) std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
  return ExitStatusOf(outcome);
}

// Whether the command, as asked, changes FILE.
bool Changes(const CommandRun& run) {
  const std::string name = run.Command.Name;
  if (name == "import" || name == "append" || name == "delete") return true;
  return name == "settings" &&
         (run.Args.Has("--channel-gap") || run.Args.Has("--end-gap") || run.Args.Has("--resize"));
}

}  // namespace

int SettleBeforeOpening(CommandRun& run) {
  const std::string name = run.Command.Name;
  // Undo and redo complete an interrupted one themselves, as the operation asked.
  const bool history = name == "undo" || name == "redo";
  if (run.Command.Open == Opening::None || (history && !run.Args.Has("--list"))) return ExitDone;
  const bool changes = !history && Changes(run);
  switch (CompleteInterruptedHistory(run.Work, run.Argument(0), changes)) {
    case Outcome::Failed:
      std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
      return ExitFailed;
    case Outcome::Declined:
      std::fprintf(run.Io.Err, "%s\n", text::kInterruptedPending);
      break;
    case Outcome::Done:
    case Outcome::Cancelled:
      break;
  }
  return ExitDone;
}

int RunUndo(CommandRun& run) {
  if (run.Args.Has("--forget")) return Report(run, ForgetNewestEdit(run.Work, run.Prompter));
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
