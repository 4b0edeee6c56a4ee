#include <cstdio>

#include "cli/answer_mode.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "edit/channel_delete.h"
#include "edit/workspace.h"

namespace sorvane::cli {

int RunDelete(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--quick", "--yes", "--no"}, {}}, error)) return UsageError("delete", error);
  if (args.Positional().size() != 2) return UsageError("delete", "expected FILE CH");
  AnswerMode mode;
  if (!AnswerModeOf(args, mode)) return UsageError("delete", "--yes and --no exclude each other");

  Workspace workspace;
  XaFile& xa = workspace.File;
  TerminalProgress progress;
  int status = ExitDone;
  ChannelRecord* entry = OpenChannel(xa, args, progress, status);
  if (!entry) return status;
  TerminalPrompter prompter(mode);
  const int index = static_cast<int>(entry - xa.AudioChannelTable.begin());
  switch (DeleteChannel(xa, workspace.Import.Cursor, index, progress, prompter)) {
    case DeleteResult::Declined:
      return ExitCancelled;
    case DeleteResult::Failed:
      std::fprintf(stderr, "%s\n", xa.LastErrorText);  // the editor shows nothing; a terminal needs a reason
      return ExitFailed;
    case DeleteResult::Done:
      break;
  }
  return progress.WasCancelled() ? ExitCancelled : ExitDone;
}

}  // namespace sorvane::cli
