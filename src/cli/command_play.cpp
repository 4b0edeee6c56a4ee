#include <cstdio>

#include "audio/sdl_audio_output.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "cli/terminal_ui.h"
#include "codec/playback.h"
#include "edit/workspace.h"

namespace sorvane::cli {

int RunPlay(const Words& words) {
  Arguments args;
  std::string error;
  if (!args.Parse(words, {{"--quick"}, {}}, error)) return UsageError("play", error);
  if (args.Positional().size() != 2) return UsageError("play", "expected FILE CH");
  Workspace workspace;
  XaFile& xa = workspace.File;
  TerminalProgress progress;
  int status = ExitDone;
  const ChannelRecord* record = OpenChannel(xa, args, progress, status);
  if (record == nullptr) return status;
  SelectDecodeChannel(workspace.Decoding, *record);
  SdlAudioOutput output;
  if (PlayChannel(xa, workspace.Decoding, workspace.Decoder, output, progress) != 0) {
    std::fprintf(stderr, "%s\n", xa.LastErrorText);
    return ExitFailed;
  }
  // A cancel stops the sound without a message, as in the editor.
  return progress.WasCancelled() ? ExitCancelled : ExitDone;
}

}  // namespace sorvane::cli
