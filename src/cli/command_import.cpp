#include <cstdio>
#include <cstring>

#include "cli/answer_mode.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "edit/workspace.h"

namespace sorvane::cli {

int RunImport(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--quick", "--yes", "--no"}, {"--fit"}}, error)) return UsageError("import", error);
  if (args.Positional().size() != 3) return UsageError("import", "expected FILE CH IN.wav");
  AnswerMode mode;
  if (!AnswerModeOf(args, mode)) return UsageError("import", "--yes and --no exclude each other");
  const std::string fit = args.Value("--fit").value_or("keep");
  if (fit != "keep" && fit != "wav") return UsageError("import", "--fit takes keep or wav");

  Workspace workspace;
  XaFile& xa = workspace.File;
  TerminalProgress progress;
  int status = ExitDone;
  ChannelRecord* entry = OpenChannel(xa, args, progress, status);
  if (!entry) return status;
  TerminalPrompter prompter(mode);
  prompter.SetLengthChoice(fit == "wav" ? LengthChoice::SecondChoice : LengthChoice::KeepOriginal);
  SelectChannel(workspace.Import.Cursor, *entry);
  const int result = ImportWav(xa, workspace.Import, args.Positional()[2], progress, prompter);
  if (result != 0) prompter.NotifyUser(xa.LastErrorText);
  AdjustFileSize(xa, prompter);
  if (result != 0) return std::strcmp(xa.LastErrorText, text::kCancelled) == 0 ? ExitCancelled : ExitFailed;
  return progress.WasCancelled() ? ExitCancelled : ExitDone;
}

}  // namespace sorvane::cli
