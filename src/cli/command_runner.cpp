#include "cli/command_runner.h"

#include <memory>
#include <string_view>

#include "cli/usage_text.h"
#include "common/fixed_texts.h"
#include "edit/file_open.h"

namespace sorvane::cli {
namespace {

bool IsHelp(const std::string& word) { return word == "--help" || word == "-h"; }

OptionSpec SpecOf(const CommandDescriptor& command) {
  OptionSpec spec;
  for (const OptionDescriptor& option : command.Options) {
    const std::string names = option.Names;
    for (std::size_t at = 0; at <= names.size();) {
      const std::size_t bar = std::min(names.find('|', at), names.size());
      (option.Value ? spec.Valued : spec.Flags).insert(names.substr(at, bar - at));
      at = bar + 1;
    }
  }
  // Every command that opens FILE takes an entry of a disc image.
  if (command.Open != Opening::None) spec.Valued.insert(kEntryOption);
  return spec;
}

// A last argument written "PATH..." takes every remaining word, at least one.
bool ArgumentCountFits(const CommandDescriptor& command, std::size_t count) {
  const std::vector<const char*>& arguments = command.Arguments;
  if (!arguments.empty() && std::string_view(arguments.back()).ends_with("..."))
    return count >= arguments.size();
  return count == arguments.size();
}

std::string Expected(const CommandDescriptor& command) {
  std::string text = "expected";
  for (const char* argument : command.Arguments) text += std::string(" ") + argument;
  return text;
}

// "--yes|--no": at most one of the alternatives.
bool ExcludeEachOther(const Arguments& args, const std::string& names, std::string& error) {
  const std::size_t bar = names.find('|');
  if (bar == std::string::npos) return true;
  const std::string first = names.substr(0, bar);
  const std::string second = names.substr(bar + 1);
  if (!args.Has(first) || !args.Has(second)) return true;
  error = first + " and " + second + " exclude each other";
  return false;
}

// Parsing, the count of arguments, exclusive options and the answers to questions.
int ParseWords(CommandRun& run, const Words& words) {
  const CommandDescriptor& command = run.Command;
  std::string error;
  if (!run.Args.Parse(words, SpecOf(command), error)) return run.UsageError(error);
  if (!ArgumentCountFits(command, run.Args.Positional().size()))
    return run.UsageError(Expected(command));
  for (const OptionDescriptor& option : command.Options) {
    if (!ExcludeEachOther(run.Args, option.Names, error)) return run.UsageError(error);
    if (option.Required && !run.Args.Has(option.Names))
      return run.UsageError(std::string("option ") + option.Names + " is required");
  }
  const AnswerMode mode = run.Args.Has("--yes")  ? AnswerMode::Yes
                          : run.Args.Has("--no") ? AnswerMode::No
                                                 : AnswerMode::Ask;
  run.Prompter.SetAnswerMode(mode);
  return ExitDone;
}

// CH as a channel number 0..255 of the table; a usage error or "no such channel".
int FindChannel(CommandRun& run) {
  long long number = -1;
  if (!ParseInteger(run.Argument(1), number) || number < 0 || number > 255)
    return PrintUsageError(run.Io, nullptr, "CH must be a channel number from 0 to 255");
  for (ChannelRecord& r : run.Work.File.AudioChannelTable) {
    if (r.Channel == number) {
      run.Channel = &r;
      return ExitDone;
    }
  }
  std::fprintf(run.Io.Err, "%s\n", text::kNoSuchChannel);
  return ExitFailed;
}

// FILE opened as the editor opens it, then (without --quick) scanned whole.
int OpenFile(CommandRun& run) {
  const CommandDescriptor& command = run.Command;
  if (command.Open == Opening::None) return ExitDone;
  if (const int settled = SettleBeforeOpening(run); settled != ExitDone) return settled;
  XaFile& xa = run.Work.File;
  if (command.Open == Opening::Bytes) {
    if (OpenForHistory(xa, run.Argument(0)) == Outcome::Done) return ExitDone;
    std::fprintf(run.Io.Err, "%s\n", xa.LastErrorText);
    return ExitFailed;
  }
  const ScanExtent extent =
      run.Args.Has("--quick") ? ScanExtent::FirstSectors : ScanExtent::WholeFile;
  const Outcome opened = OpenAndScan(xa, run.Argument(0), extent, run.Progress,
                                     run.Args.Value(kEntryOption).value_or(""));
  if (opened == Outcome::Failed) {
    std::fprintf(run.Io.Err, "%s\n", xa.LastErrorText);
    return ExitFailed;
  }
  run.OpenStatus = ExitStatusOf(opened);
  if (run.OpenStatus != ExitDone && !command.RunsAfterCancel) return run.OpenStatus;
  return command.Open == Opening::Channel ? FindChannel(run) : ExitDone;
}

}  // namespace

int CommandRun::UsageError(const std::string& what) const {
  return PrintUsageError(Io, &Command, what);
}

int RunCommand(const CommandDescriptor& command, const Words& words, Console& io) {
  if (!words.empty() && IsHelp(words[0])) {
    std::fprintf(io.Out, "usage: sorvane-cli %s\n", UsageOf(command).c_str());
    return ExitDone;
  }
  // The workspace holds the channel tables and the codec's state: too large for the stack.
  auto run = std::make_unique<CommandRun>(command, io);
  if (const int parsed = ParseWords(*run, words); parsed != ExitDone) return parsed;
  if (command.Check != nullptr) {
    if (const int checked = command.Check(*run); checked != ExitDone) return checked;
  }
  if (const int opened = OpenFile(*run); opened != ExitDone) return opened;
  return command.Body(*run);
}

int RunCli(const Words& words, Console& io) {
  if (words.empty()) {
    PrintHelp(io.Out);
    return ExitUsage;
  }
  const std::string& name = words[0];
  if (IsHelp(name)) {
    PrintHelp(io.Out);
    return ExitDone;
  }
  if (name == "--version") {
    std::fprintf(io.Out, "sorvane-cli %s\n", SORVANE_VERSION);
    return ExitDone;
  }
  for (const CommandDescriptor& command : AllCommands()) {
    if (name == command.Name) return RunCommand(command, Words(words.begin() + 1, words.end()), io);
  }
  std::fprintf(io.Err, "sorvane-cli: unknown command %s\n", name.c_str());
  PrintHelp(io.Out);
  return ExitUsage;
}

}  // namespace sorvane::cli
