#include <cstdio>

#include "cli/command_descriptor.h"
#include "edit/channel_append.h"
#include "input/audio_file.h"

namespace sorvane::cli {
namespace {

bool QualityFromText(const std::string& value, int& item) {
  const char* names[] = {"18.9m", "18.9s", "37.8m", "37.8s"};
  for (int i = 0; i < 4; ++i)
    if (value == names[i]) item = i;
  return item >= 0;
}

// Types the options into the dialog as a person would: quality and speed first, then the
// slot from the rebuilt list. Returns an empty text, or what is wrong with the options.
std::string ApplyOptions(const Arguments& args, AppendDialogState& dialog) {
  if (auto v = args.Value("--channel")) dialog.ChannelText = *v;
  if (auto v = args.Value("--start")) dialog.StartText = *v;
  if (auto v = args.Value("--quality")) {
    int item = -1;
    if (!QualityFromText(*v, item)) return "--quality takes 18.9m, 18.9s, 37.8m or 37.8s";
    dialog.QualityItem = item;
  }
  if (auto v = args.Value("--speed")) {
    if (*v != "normal" && *v != "double") return "--speed takes normal or double";
    dialog.SpeedItem = *v == "double" ? 1 : 0;
  }
  QualitySelChange(dialog);
  if (auto v = args.Value("--slot")) {
    long long slot = -1;
    if (!ParseInteger(*v, slot) || slot < 0 ||
        slot >= static_cast<long long>(dialog.TrackItems.size()))
      return "--slot must be one of the slots 0 to " + std::to_string(dialog.TrackItems.size() - 1);
    dialog.TrackItem = static_cast<int>(slot);
  }
  return "";
}

// The proposal, then the dialog as the options fill it in and its OK; ExitDone when the
// record is accepted, else the status after the refusal or the usage error was printed.
int FillDialog(CommandRun& run, AudioFile& wave, ChannelRecord& record) {
  record = ProposeNewChannel(run.Work.File, wave);
  AppendDialogState dialog;
  ShowParams(record, dialog);
  if (std::string wrong = ApplyOptions(run.Args, dialog); !wrong.empty())
    return run.UsageError(wrong);
  if (run.Args.Has("--find")) FindButtonClick(run.Work.File, dialog, wave, record);
  if (const char* refusal = OKButtonClick(run.Work.File, dialog, wave, record)) {
    run.Prompter.NotifyUser(refusal);
    return ExitFailed;
  }
  return ExitDone;
}

}  // namespace

int RunAppend(CommandRun& run) {
  XaFile& xa = run.Work.File;
  if (const char* refusal = RefuseAppend(xa)) {
    run.Prompter.NotifyUser(refusal);
    return ExitFailed;
  }
  const std::string& wavPath = run.Argument(1);
  AudioFile wave;
  if (wave.Open(wavPath) != 0) {
    run.Prompter.NotifyUser(wave.LastErrorText);
    return ExitFailed;
  }
  ChannelRecord record;
  if (const int filled = FillDialog(run, wave, record); filled != ExitDone) return filled;
  wave.Close();
  run.Work.Import.HighQuality = run.Args.Has("--hq");
  const Outcome outcome = AppendChannel(run.Work, record, wavPath, run.Progress, run.Prompter);
  if (outcome == Outcome::Failed || outcome == Outcome::Declined)
    run.Prompter.NotifyUser(xa.LastErrorText);
  PrintSoundCut(run, outcome);
  return ExitStatusOf(outcome);
}

}  // namespace sorvane::cli
