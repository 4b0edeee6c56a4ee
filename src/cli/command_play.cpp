#include <cstdio>

#include "cli/command_descriptor.h"
#include "cli/position_options.h"
#include "cli/sound_module.h"
#include "common/fixed_texts.h"
#include "edit/channel_play.h"

namespace sorvane::cli {

int CheckPlay(CommandRun& run) { return CheckPositionUnits(run); }

int RunPlay(CommandRun& run) {
  std::int64_t frame = 0;
  if (const int from = FrameOption(run, "--from", 0, frame); from != ExitDone) return from;
  const std::unique_ptr<AudioOutput> output = LoadSoundOutput();
  if (output == nullptr) {
    std::fprintf(run.Io.Err, "%s\n", text::kWaveDeviceCannotOpen);
    return ExitFailed;
  }
  const Outcome outcome = PlayChannelFrom(run.Work, *run.Channel, frame, *output, run.Progress);
  // A cancel stops the sound without a message, as in the editor.
  if (outcome == Outcome::Failed) std::fprintf(run.Io.Err, "%s\n", run.Work.File.LastErrorText);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
