// The two commands that write a new file: an empty one, and the demo file.
#include <cstdio>
#include <filesystem>

#include "cli/command_descriptor.h"
#include "edit/demo_file.h"
#include "edit/file_open.h"

namespace sorvane::cli {
namespace {

// True, after saying why, when `path` exists and --force was not given.
bool RefuseToReplace(CommandRun& run, const std::string& path) {
  std::error_code ignored;
  if (run.Args.Has("--force") || !std::filesystem::exists(path, ignored)) return false;
  std::fprintf(run.Io.Err, "%s exists; use --force to replace it\n", path.c_str());
  return true;
}

// The layout named by --layout (plain when it is not given); false for another name.
bool LayoutFromOption(const CommandRun& run, XaLayout& layout) {
  const auto name = run.Args.Value("--layout");
  if (!name || *name == "plain") {
    layout = XaLayout::Plain2336;
  } else if (*name == "raw") {
    layout = XaLayout::Raw2352;
  } else if (*name == "riff") {
    layout = XaLayout::Riff2352;
  } else {
    return false;
  }
  return true;
}

int ExitAfter(CommandRun& run, Outcome outcome) {
  if (outcome != Outcome::Done) std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace

int RunNew(CommandRun& run) {
  const std::string& path = run.Argument(0);
  XaLayout layout = XaLayout::Plain2336;
  if (!LayoutFromOption(run, layout)) return run.UsageError("--layout takes plain, raw or riff");
  if (RefuseToReplace(run, path)) return ExitFailed;
  return ExitAfter(run, NewFile(run.Work.File, path, run.Progress, layout));
}

int RunDemo(CommandRun& run) {
  const std::string& path = run.Argument(0);
  if (RefuseToReplace(run, path)) return ExitFailed;
  return ExitAfter(run, WriteDemoFile(run.Work, path));
}

}  // namespace sorvane::cli
