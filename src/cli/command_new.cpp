#include <cstdio>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "container/xa_file.h"

namespace sorvane::cli {

int RunNew(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--force"}, {}}, error)) return UsageError("new", error);
  if (args.Positional().size() != 1) return UsageError("new", "expected FILE");
  const std::string& path = args.Positional()[0];
  if (RefuseToReplace(path, args.Has("--force"))) return ExitFailed;
  XaFile xa;
  if (CreateXaFile(xa, path) != 0) {
    std::fprintf(stderr, "%s\n", xa.LastErrorText);
    return ExitFailed;
  }
  return ExitDone;
}

}  // namespace sorvane::cli
