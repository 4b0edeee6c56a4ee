#include <cstdio>

#include "cli/command_descriptor.h"
#include "edit/channel_import.h"

namespace sorvane::cli {

void PrintSoundCut(CommandRun& run, Outcome outcome) {
  if (outcome != Outcome::Done) return;
  const std::string report = SoundCutReport(run.Work.File, run.Work.Import.LastCut);
  if (!report.empty()) std::fprintf(run.Io.Err, "%s\n", report.c_str());
}

int CheckImport(CommandRun& run) {
  const std::string fit = run.Args.Value("--fit").value_or("keep");
  if (fit != "keep" && fit != "wav") return run.UsageError("--fit takes keep or wav");
  // "--fit keep" is the length dialog's first choice, "--fit wav" its second.
  run.Prompter.SetLengthChoice(fit == "wav" ? LengthChoice::SecondChoice
                                            : LengthChoice::KeepOriginal);
  return ExitDone;
}

int RunImport(CommandRun& run) {
  const int entry = static_cast<int>(run.Channel - run.Work.File.AudioChannelTable.begin());
  run.Work.Import.HighQuality = run.Args.Has("--hq");
  // The import prints its own message, before the size adjustment's question.
  const Outcome outcome =
      ImportChannel(run.Work, entry, run.Argument(2), run.Progress, run.Prompter);
  PrintSoundCut(run, outcome);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
