#include <cstdio>

#include "audio/sdl_audio_output.h"
#include "cli/command_descriptor.h"
#include "edit/channel_play.h"

namespace sorvane::cli {

int RunPlay(CommandRun& run) {
  SdlAudioOutput output;
  const Outcome outcome = PlayChannel(run.Work, *run.Channel, output, run.Progress);
  // A cancel stops the sound without a message, as in the editor.
  if (outcome == Outcome::Failed) std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
