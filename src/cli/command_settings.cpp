#include <cstdio>

#include "cli/answer_mode.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/open_for_command.h"
#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "edit/file_settings.h"
#include "edit/workspace.h"

namespace sorvane::cli {
namespace {

constexpr const char* kModifyItems[] = {text::kModifyAsk, text::kModifyAllowed, text::kModifyForbidden};

bool PermissionFromText(const std::string& value, std::int32_t& permission) {
  if (value == "ask") permission = ResizeAsk;
  else if (value == "allow") permission = ResizeAllowed;
  else if (value == "forbid") permission = ResizeForbidden;
  else return false;
  return true;
}

void PrintSettings(const XaFile& xa, bool json) {
  if (json) {
    JsonWriter out;
    out.BeginObject();
    out.Field("channel_post_gap", xa.ChannelPostGap);
    out.Field("end_post_gap", xa.EndPostGap);
    out.Field("resize_permission", xa.ResizePermission);
    out.EndObject();
    std::printf("%s\n", out.Text().c_str());
    return;
  }
  const int item = xa.ResizePermission >= 0 && xa.ResizePermission <= 2 ? xa.ResizePermission : 0;
  std::printf("%s: %s\n%s: %s\n%s: %s\n", text::kLabelChannelGap, FormatGapText(xa.ChannelPostGap).c_str(),
              text::kLabelEndGap, FormatGapText(xa.EndPostGap).c_str(), text::kLabelModify, kModifyItems[item]);
}

}  // namespace

int RunSettings(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--quick", "--yes", "--no", "--json"}, {"--channel-gap", "--end-gap", "--resize"}}, error))
    return UsageError("settings", error);
  if (args.Positional().size() != 1) return UsageError("settings", "expected FILE");
  AnswerMode mode;
  if (!AnswerModeOf(args, mode)) return UsageError("settings", "--yes and --no exclude each other");

  Workspace workspace;
  XaFile& xa = workspace.File;
  TerminalProgress progress;
  if (int status = OpenForCommand(xa, args.Positional()[0], args.Has("--quick"), progress); status != ExitDone)
    return status;
  const bool change = args.Has("--channel-gap") || args.Has("--end-gap") || args.Has("--resize");
  if (change) {
    FileSettings settings = CurrentSettings(xa);
    if (auto v = args.Value("--channel-gap")) settings.ChannelPostGap = ParsePositionText(*v);
    if (auto v = args.Value("--end-gap")) settings.EndPostGap = ParsePositionText(*v);
    if (auto v = args.Value("--resize"); v && !PermissionFromText(*v, settings.ResizePermission))
      return UsageError("settings", "--resize takes ask, allow or forbid");
    if (const char* refusal = RefuseFileSettings(settings)) {
      std::fprintf(stderr, "%s\n", refusal);
      return ExitFailed;
    }
    StoreSettings(xa, settings);
    TerminalPrompter prompter(mode);
    AdjustFileSize(xa, prompter);
  }
  PrintSettings(xa, args.Has("--json"));
  return ExitDone;
}

}  // namespace sorvane::cli
