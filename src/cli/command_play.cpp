#include <cstdio>

#include "cli/command_descriptor.h"
#include "cli/sound_module.h"
#include "common/fixed_texts.h"
#include "edit/channel_play.h"

namespace sorvane::cli {

int RunPlay(CommandRun& run) {
  const std::unique_ptr<AudioOutput> output = LoadSoundOutput();
  if (output == nullptr) {
    std::fprintf(run.Io.Err, "%s\n", text::kWaveDeviceCannotOpen);
    return ExitFailed;
  }
  const Outcome outcome = PlayChannel(run.Work, *run.Channel, *output, run.Progress);
  // A cancel stops the sound without a message, as in the editor.
  if (outcome == Outcome::Failed) std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
