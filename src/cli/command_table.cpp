// The table of sorvane-cli's commands. The README's command list is checked against it.
#include "cli/command_descriptor.h"

namespace sorvane::cli {

const std::vector<CommandDescriptor>& AllCommands() {
  static const OptionDescriptor quick{"--quick"};
  static const OptionDescriptor answers{"--yes|--no"};
  static const std::vector<CommandDescriptor> commands = {
      {"list",
       {"FILE"},
       {quick, {"--units", "time|sectors|hex"}, {"--json"}},
       Opening::File,
       CheckList,
       RunList,
       true},
      {"export", {"FILE", "CH", "OUT.wav"}, {quick}, Opening::Channel, nullptr, RunExport},
#ifdef SORVANE_CLI_PLAY
      {"play", {"FILE", "CH"}, {quick}, Opening::Channel, nullptr, RunPlay},
#endif
      {"import",
       {"FILE", "CH", "IN.wav"},
       {{"--fit", "keep|wav"}, answers, quick},
       Opening::Channel,
       CheckImport,
       RunImport},
      {"append",
       {"FILE", "IN.wav"},
       {{"--channel", "N"},
        {"--quality", "18.9m|18.9s|37.8m|37.8s"},
        {"--speed", "normal|double", Shown::StartsLine},
        {"--start", "TEXT"},
        {"--slot", "K"},
        {"--find"},
        answers,
        {"--quick", nullptr, Shown::Hidden}},
       Opening::File,
       nullptr,
       RunAppend},
      {"delete", {"FILE", "CH"}, {answers, quick}, Opening::Channel, nullptr, RunDelete},
      {"settings",
       {"FILE"},
       {{"--channel-gap", "TEXT"},
        {"--end-gap", "TEXT"},
        {"--resize", "ask|allow|forbid"},
        {"--yes|--no", nullptr, Shown::StartsLine},
        {"--json"},
        {"--quick", nullptr, Shown::Hidden}},
       Opening::File,
       nullptr,
       RunSettings},
      {"new", {"FILE"}, {{"--force"}}, Opening::None, nullptr, RunNew},
      {"demo", {"FILE"}, {{"--force"}}, Opening::None, nullptr, RunDemo},
  };
  return commands;
}

int ExitStatusOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done:
      return ExitDone;
    case Outcome::Failed:
      return ExitFailed;
    case Outcome::Cancelled:
    case Outcome::Declined:
      break;
  }
  return ExitCancelled;
}

}  // namespace sorvane::cli
