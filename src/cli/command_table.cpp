// The table of sorvane-cli's commands. The README's command list is checked against it.
#include "cli/command_descriptor.h"

namespace sorvane::cli {
namespace {

const OptionDescriptor kQuick{"--quick"};
const OptionDescriptor kAnswers{"--yes|--no"};
// The high-quality path: libsoxr's rate conversion and the searching encoder.
const OptionDescriptor kHighQuality{"--hq"};
// Accepted as by every command that opens FILE, but not shown in the usage.
const OptionDescriptor kUnlistedQuick{"--quick", nullptr, Shown::Hidden};

// The list's units; for play and export also how their position texts are read.
const OptionDescriptor kUnits{"--units", "time|sectors|hex"};

const CommandDescriptor kList{
    "list",        {"FILE"},  {kQuick, {"--units", "time|sectors|hex"}, {"--json"}},
    Opening::File, CheckList, RunList,
    true};

const CommandDescriptor kExport{
    "export",
    {"FILE", "CH", "OUT.wav"},
    {kQuick, {"--from", "TEXT", Shown::StartsLine}, {"--to", "TEXT"}, kUnits},
    Opening::Channel,
    CheckExport,
    RunExport};

const CommandDescriptor kImport{"import",
                                {"FILE", "CH", "IN.wav"},
                                {{"--fit", "keep|wav"}, kAnswers, kQuick, kHighQuality},
                                Opening::Channel,
                                CheckImport,
                                RunImport};

const CommandDescriptor kAppend{"append",
                                {"FILE", "IN.wav"},
                                {{"--channel", "N"},
                                 {"--quality", "18.9m|18.9s|37.8m|37.8s"},
                                 {"--speed", "normal|double", Shown::StartsLine},
                                 {"--start", "TEXT"},
                                 {"--slot", "K"},
                                 {"--find"},
                                 kAnswers,
                                 kHighQuality,
                                 kUnlistedQuick},
                                Opening::File,
                                nullptr,
                                RunAppend};

const CommandDescriptor kDelete{"delete",         {"FILE", "CH"}, {kAnswers, kQuick},
                                Opening::Channel, nullptr,        RunDelete};

const CommandDescriptor kSettings{"settings",
                                  {"FILE"},
                                  {{"--channel-gap", "TEXT"},
                                   {"--end-gap", "TEXT"},
                                   {"--resize", "ask|allow|forbid"},
                                   {"--yes|--no", nullptr, Shown::StartsLine},
                                   {"--json"},
                                   kUnlistedQuick},
                                  Opening::File,
                                  nullptr,
                                  RunSettings};

const CommandDescriptor kNew{"new",         {"FILE"}, {{"--force"}, {"--layout", "plain|raw|riff"}},
                             Opening::None, nullptr,  RunNew};
const CommandDescriptor kDemo{"demo", {"FILE"}, {{"--force"}}, Opening::None, nullptr, RunDemo};
const CommandDescriptor kUndo{"undo",         {"FILE"}, {{"--list|--forget"}, kAnswers},
                              Opening::Bytes, nullptr,  RunUndo};
const CommandDescriptor kRedo{"redo", {"FILE"}, {}, Opening::Bytes, nullptr, RunRedo};

const CommandDescriptor kMap{"map",         {"FILE"}, {{"--width", "N"}, {"--json"}, kQuick},
                             Opening::File, CheckMap, RunMap};
const CommandDescriptor kExportAll{
    "export-all",
    {"PATH..."},
    {{"--out", "DIR", Shown::Listed, true}, {"--jobs", "N"}, kQuick, {"--json"}},
    Opening::None,
    CheckExportAll,
    RunExportAll};

const CommandDescriptor kImportAll{"import-all",
                                   {"TARGET..."},
                                   {{"--from", "DIR", Shown::Listed, true},
                                    {"--fit", "keep|wav"},
                                    kHighQuality,
                                    {"--plan"},
                                    kAnswers,
                                    {"--json", nullptr, Shown::StartsLine},
                                    kUnlistedQuick},
                                   Opening::None,
                                   CheckImport,
                                   RunImportAll};

const CommandDescriptor kDisc{"disc",        {"IMAGE"}, {{"--json"}, {"--all"}},
                              Opening::None, nullptr,   RunDisc};

#ifdef SORVANE_CLI_PLAY
const CommandDescriptor kPlay{
    "play",           {"FILE", "CH"}, {kQuick, {"--from", "TEXT"}, kUnits},
    Opening::Channel, CheckPlay,      RunPlay};
#endif

}  // namespace

const std::vector<CommandDescriptor>& AllCommands() {
  static const std::vector<CommandDescriptor> commands = {kList,   kExport,
#ifdef SORVANE_CLI_PLAY
                                                          kPlay,
#endif
                                                          kImport, kAppend,    kDelete, kSettings,
                                                          kNew,    kDemo,      kUndo,   kRedo,
                                                          kMap,    kExportAll, kDisc,   kImportAll};
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
