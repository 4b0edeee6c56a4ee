#include <cstdio>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "edit/demo_file.h"

namespace sorvane::cli {

int RunDemo(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--force"}, {}}, error)) return UsageError("demo", error);
  if (args.Positional().size() != 1) return UsageError("demo", "expected FILE");
  const std::string& path = args.Positional()[0];
  if (RefuseToReplace(path, args.Has("--force"))) return ExitFailed;
  Workspace workspace;
  if (WriteDemoFile(workspace, path) != 0) {
    std::fprintf(stderr, "%s\n", workspace.File.LastErrorText);
    return ExitFailed;
  }
  return ExitDone;
}

}  // namespace sorvane::cli
