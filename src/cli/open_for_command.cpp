#include "cli/open_for_command.h"

#include <cstdio>
#include <filesystem>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "container/channel_scan.h"

namespace sorvane::cli {

int OpenForCommand(XaFile& xa, const std::string& path, bool quick, TerminalProgress& progress) {
  std::error_code ignored;
  const std::string absolute = std::filesystem::absolute(path, ignored).string();
  if (OpenXaFile(xa, absolute.empty() ? path : absolute) != 0 ||
      ScanChannels(xa, kWalkLimitOpen, progress) != 0 ||
      (!quick && ScanChannels(xa, kWalkLimitFull, progress) != 0)) {
    std::fprintf(stderr, "%s\n", xa.LastErrorText);
    CloseXaFile(xa);
    return ExitFailed;
  }
  if (progress.WasCancelled()) return ExitCancelled;
  return ExitDone;
}

ChannelRecord* ChannelByNumber(XaFile& xa, const std::string& text, int& status) {
  long long number = -1;
  if (!ParseInteger(text, number) || number < 0 || number > 255) {
    status = UsageError(nullptr, "CH must be a channel number from 0 to 255");
    return nullptr;
  }
  for (ChannelRecord& r : xa.AudioChannelTable)
    if (r.Channel == number) return &r;
  std::fprintf(stderr, "no such channel\n");
  status = ExitFailed;
  return nullptr;
}

ChannelRecord* OpenChannel(XaFile& xa, const Arguments& args, TerminalProgress& progress, int& status) {
  status = OpenForCommand(xa, args.Positional()[0], args.Has("--quick"), progress);
  return status == ExitDone ? ChannelByNumber(xa, args.Positional()[1], status) : nullptr;
}

bool RefuseToReplace(const std::string& path, bool force) {
  std::error_code ignored;
  if (force || !std::filesystem::exists(path, ignored)) return false;
  std::fprintf(stderr, "%s exists; use --force to replace it\n", path.c_str());
  return true;
}

int UsageError(const char* command, const std::string& what) {
  std::fprintf(stderr, "sorvane-cli: %s\n", what.c_str());
  for (const Command& c : AllCommands()) {
    if (command == nullptr || std::string(c.Name) == command) std::fprintf(stderr, "usage: sorvane-cli %s\n", c.Usage);
  }
  return ExitUsage;
}

}  // namespace sorvane::cli
