#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "cli/terminal_ui.h"
#include "codec/adpcm_decoder.h"
#include "codec/wav_export.h"
#include "common/fixed_texts.h"
#include "container/xa_file.h"
#include "edit/workspace.h"

namespace sorvane::cli {
namespace {

// Truncating the XA file being read would destroy it before a single block is decoded.
bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return std::filesystem::equivalent(a, b, ignored);
}

}  // namespace

int RunExport(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--quick"}, {}}, error)) return UsageError("export", error);
  if (args.Positional().size() != 3) return UsageError("export", "expected FILE CH OUT.wav");
  const std::string& out = args.Positional()[2];
  Workspace workspace;
  XaFile& xa = workspace.File;
  TerminalProgress progress;
  int status = ExitDone;
  const ChannelRecord* record = OpenChannel(xa, args, progress, status);
  if (record == nullptr) return status;
  if (IsSameFile(xa.Path, out)) {
    std::fprintf(stderr, "OUT.wav is the XA file itself\n");
    return ExitFailed;
  }
  SelectDecodeChannel(workspace.Decoding, *record);
  if (ExportWav(xa, workspace.Decoding, workspace.Decoder, progress, out) == 0) return ExitDone;
  std::fprintf(stderr, "%s\n", xa.LastErrorText);
  return std::strcmp(xa.LastErrorText, text::kCancelled) == 0 ? ExitCancelled : ExitFailed;
}

}  // namespace sorvane::cli
