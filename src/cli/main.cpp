// sorvane-cli: the editor's operations from the command line.
#include <cstdio>
#include <string>

#include "cli/cli_options.h"
#include "cli/commands.h"

namespace sorvane::cli {

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> commands = {
      {"list", "list     FILE [--quick] [--units time|sectors|hex] [--json]", RunList},
      {"export", "export   FILE CH OUT.wav [--quick]", RunExport},
#ifdef SORVANE_CLI_PLAY
      {"play", "play     FILE CH [--quick]", RunPlay},
#endif
      {"import", "import   FILE CH IN.wav [--fit keep|wav] [--yes|--no] [--quick]", RunImport},
      {"append",
       "append   FILE IN.wav [--channel N] [--quality 18.9m|18.9s|37.8m|37.8s]\n"
       "                     [--speed normal|double] [--start TEXT] [--slot K] [--find] [--yes|--no]",
       RunAppend},
      {"delete", "delete   FILE CH [--yes|--no] [--quick]", RunDelete},
      {"settings",
       "settings FILE [--channel-gap TEXT] [--end-gap TEXT] [--resize ask|allow|forbid]\n"
       "                     [--yes|--no] [--json]",
       RunSettings},
      {"new", "new      FILE [--force]", RunNew},
      {"demo", "demo     FILE [--force]", RunDemo},
  };
  return commands;
}

namespace {

void PrintHelp() {
  std::printf("Sorvane %s: edit CD-ROM XA interleaved ADPCM audio files.\n\nusage:\n", SORVANE_VERSION);
  for (const Command& c : AllCommands()) std::printf("  sorvane-cli %s\n", c.Usage);
  std::printf("  sorvane-cli --help | --version\n\n"
              "Exit status: 0 done, 1 failed or refused, 2 usage error, 3 cancelled.\n");
}

int Dispatch(int argc, char** argv) {
  if (argc < 2) {
    PrintHelp();
    return ExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    PrintHelp();
    return ExitDone;
  }
  if (name == "--version") {
    std::printf("sorvane-cli %s\n", SORVANE_VERSION);
    return ExitDone;
  }
  Words words(argv + 2, argv + argc);
  for (const Command& c : AllCommands()) {
    if (name != c.Name) continue;
    if (!words.empty() && (words[0] == "--help" || words[0] == "-h")) {
      std::printf("usage: sorvane-cli %s\n", c.Usage);
      return ExitDone;
    }
    return c.Run(words);
  }
  std::fprintf(stderr, "sorvane-cli: unknown command %s\n", name.c_str());
  PrintHelp();
  return ExitUsage;
}

}  // namespace
}  // namespace sorvane::cli

int main(int argc, char** argv) { return sorvane::cli::Dispatch(argc, argv); }
