#include <cstdio>

#include "cli/command_descriptor.h"
#include "cli/json_writer.h"
#include "common/fixed_texts.h"
#include "edit/file_settings.h"

namespace sorvane::cli {
namespace {

constexpr const char* kModifyItems[] = {text::kModifyAsk, text::kModifyAllowed,
                                        text::kModifyForbidden};

bool PermissionFromText(const std::string& value, std::int32_t& permission) {
  if (value == "ask")
    permission = ResizeAsk;
  else if (value == "allow")
    permission = ResizeAllowed;
  else if (value == "forbid")
    permission = ResizeForbidden;
  else
    return false;
  return true;
}

void PrintSettings(std::FILE* out, const XaFile& xa, bool json) {
  if (json) {
    JsonWriter text;
    text.BeginObject();
    text.Field("channel_post_gap", xa.ChannelPostGap);
    text.Field("end_post_gap", xa.EndPostGap);
    text.Field("resize_permission", xa.ResizePermission);
    text.EndObject();
    std::fprintf(out, "%s\n", text.Text().c_str());
    return;
  }
  const int item = xa.ResizePermission >= 0 && xa.ResizePermission <= 2 ? xa.ResizePermission : 0;
  std::fprintf(out, "%s: %s\n%s: %s\n%s: %s\n", text::kLabelChannelGap,
               FormatGapText(xa.ChannelPostGap).c_str(), text::kLabelEndGap,
               FormatGapText(xa.EndPostGap).c_str(), text::kLabelModify, kModifyItems[item]);
}

}  // namespace

int RunSettings(CommandRun& run) {
  XaFile& xa = run.Work.File;
  const Arguments& args = run.Args;
  if (args.Has("--channel-gap") || args.Has("--end-gap") || args.Has("--resize")) {
    FileSettings settings = CurrentSettings(xa);
    if (auto v = args.Value("--channel-gap")) settings.ChannelPostGap = ParsePositionText(*v);
    if (auto v = args.Value("--end-gap")) settings.EndPostGap = ParsePositionText(*v);
    if (auto v = args.Value("--resize"); v && !PermissionFromText(*v, settings.ResizePermission))
      return run.UsageError("--resize takes ask, allow or forbid");
    if (ApplyFileSettings(run.Work, settings, run.Prompter) == Outcome::Failed) {
      std::fprintf(run.Io.Err, "%s\n", xa.LastErrorText);
      return ExitFailed;
    }
  }
  PrintSettings(run.Io.Out, xa, args.Has("--json"));
  return ExitDone;
}

}  // namespace sorvane::cli
