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
  XaFile xa;
  TerminalProgress progress;
  int status = OpenForCommand(xa, args.Positional()[0], args.Has("--quick"), progress);
  if (status != ExitDone) return status;
  const ChannelRecord* record = ChannelByNumber(xa, args.Positional()[1], status);
  if (record == nullptr) return status;
  if (IsSameFile(xa.Path, out)) {
    std::fprintf(stderr, "OUT.wav is the XA file itself\n");
    return ExitFailed;
  }
  DecoderState state;
  DecodeCursor cursor;
  SelectDecodeChannel(cursor, *record);
  if (ExportWav(xa, cursor, state, progress, out) == 0) return ExitDone;
  std::fprintf(stderr, "%s\n", xa.LastErrorText);
  return std::strcmp(xa.LastErrorText, text::kCancelled) == 0 ? ExitCancelled : ExitFailed;
}

}  // namespace sorvane::cli
