#include <cstdio>
#include <cstring>

#include "cli/answer_mode.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/open_for_command.h"
#include "common/fixed_texts.h"
#include "edit/channel_append.h"
#include "edit/workspace.h"

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
    if (!ParseInteger(*v, slot) || slot < 0 || slot >= static_cast<long long>(dialog.TrackItems.size()))
      return "--slot must be one of the slots 0 to " + std::to_string(dialog.TrackItems.size() - 1);
    dialog.TrackItem = static_cast<int>(slot);
  }
  return "";
}

int StatusOf(AppendResult result, const XaFile& xa, const TerminalPrompter& prompter,
             const TerminalProgress& progress) {
  switch (result) {
    case AppendResult::Declined:
      return prompter.Declined() ? ExitCancelled : ExitFailed;
    case AppendResult::Failed:
      return std::strcmp(xa.LastErrorText, text::kCancelled) == 0 ? ExitCancelled : ExitFailed;
    case AppendResult::Done:
      break;
  }
  return progress.WasCancelled() ? ExitCancelled : ExitDone;
}

}  // namespace

int RunAppend(const Words& words) {
  Arguments args;
  std::string error;
  const OptionSpec spec{{"--quick", "--yes", "--no", "--find"}, {"--channel", "--quality", "--speed", "--start", "--slot"}};
  if (!args.Parse(words, spec, error)) return UsageError("append", error);
  if (args.Positional().size() != 2) return UsageError("append", "expected FILE IN.wav");
  AnswerMode mode;
  if (!AnswerModeOf(args, mode)) return UsageError("append", "--yes and --no exclude each other");

  Workspace workspace;
  XaFile& xa = workspace.File;
  TerminalProgress progress;
  if (int status = OpenForCommand(xa, args.Positional()[0], args.Has("--quick"), progress); status != ExitDone)
    return status;
  TerminalPrompter prompter(mode);
  if (const char* refusal = RefuseAppend(xa)) {
    prompter.NotifyUser(refusal);
    return ExitFailed;
  }
  const std::string& wavPath = args.Positional()[1];
  WavReader wave;
  if (wave.Open(wavPath) != 0) {
    prompter.NotifyUser(wave.LastErrorText);
    return ExitFailed;
  }
  ChannelRecord record = ProposeNewChannel(xa, wave);
  AppendDialogState dialog;
  ShowParams(record, dialog);
  if (std::string wrong = ApplyOptions(args, dialog); !wrong.empty()) return UsageError("append", wrong);
  if (args.Has("--find")) FindButtonClick(xa, dialog, wave, record);
  if (const char* refusal = OKButtonClick(xa, dialog, wave, record)) {
    prompter.NotifyUser(refusal);
    return ExitFailed;
  }
  wave.Close();
  const AppendResult result = AppendChannel(xa, workspace.Import, record, wavPath, progress, prompter);
  if (result != AppendResult::Done) prompter.NotifyUser(xa.LastErrorText);
  return StatusOf(result, xa, prompter, progress);
}

}  // namespace sorvane::cli
