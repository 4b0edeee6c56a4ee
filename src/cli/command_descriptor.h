// What sorvane-cli knows of each command: its name, its arguments and options as the usage
// shows them, how much of the shared opening it needs, and its body. One runner
// (command_runner.h) parses, checks and opens for all of them.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/terminal_ui.h"
#include "common/outcome.h"
#include "container/xa_file.h"
#include "edit/workspace.h"

namespace sorvane::cli {

// An entry of a disc image given as FILE: an ISO path or "@LBA:COUNT". Taken by every command
// that opens FILE.
inline constexpr char kEntryOption[] = "--entry";

// Where an option stands in the usage text.
enum class Shown { Listed, StartsLine, Hidden };

struct OptionDescriptor {
  // "--json"; alternatives that exclude each other are written "--yes|--no".
  const char* Names;
  // How the value reads in the usage ("N", "time|sectors|hex"); nullptr for a flag.
  const char* Value = nullptr;
  Shown Usage = Shown::Listed;
  // Must be given; shown without brackets.
  bool Required = false;
};

// How much of the shared opening a command takes before its body runs.
enum class Opening {
  None,     // FILE is not opened (new, demo)
  File,     // FILE is opened and scanned as the editor does; unless --quick, scanned whole
  Channel,  // as File, then CH (the second argument) is looked up in the channel table
  Bytes,    // FILE is opened for undo and redo, without layout detection or scan
};

struct CommandRun;

struct CommandDescriptor {
  const char* Name;
  // Positional, as the usage names them; a last one ending in "..." takes one or more words.
  std::vector<const char*> Arguments;
  std::vector<OptionDescriptor> Options;
  Opening Open = Opening::None;
  // Checks of the options that come before the opening; ExitDone to go on, else the status.
  int (*Check)(CommandRun& run) = nullptr;
  // The command itself, after the opening; returns the exit status.
  int (*Body)(CommandRun& run) = nullptr;
  // The body runs even when the scan was cancelled (the list shows what was found).
  bool RunsAfterCancel = false;
};

// Everything a command's body works with, set up by the runner.
struct CommandRun {
  CommandRun(const CommandDescriptor& command, Console& console)
      : Command(command), Io(console), Progress(console), Prompter(AnswerMode::Ask, console) {
    Work.File.Io = console.Files;
  }

  const std::string& Argument(std::size_t index) const { return Args.Positional()[index]; }
  // Prints "sorvane-cli: <what>" and the command's usage; returns ExitUsage.
  int UsageError(const std::string& what) const;

  const CommandDescriptor& Command;
  Console& Io;
  Arguments Args;
  Workspace Work;
  TerminalProgress Progress;
  TerminalPrompter Prompter;
  ChannelRecord* Channel = nullptr;  // the entry of CH (Opening::Channel)
  int OpenStatus = ExitDone;         // ExitCancelled when the scan was cancelled
};

// Every command, in the order of the usage text.
const std::vector<CommandDescriptor>& AllCommands();

// The bodies and checks, one file each.
int CheckList(CommandRun& run);
int RunList(CommandRun& run);
int CheckExport(CommandRun& run);
int RunExport(CommandRun& run);
int CheckPlay(CommandRun& run);
int RunPlay(CommandRun& run);
int CheckImport(CommandRun& run);
int RunImport(CommandRun& run);
int RunAppend(CommandRun& run);
int RunDelete(CommandRun& run);
int RunSettings(CommandRun& run);
int RunNew(CommandRun& run);
int RunDemo(CommandRun& run);
int RunUndo(CommandRun& run);
int RunRedo(CommandRun& run);
// Before FILE is opened and scanned: completes an undo or redo of it that a crash
// interrupted when the command changes the file, else warns of it. ExitDone to go on.
int SettleBeforeOpening(CommandRun& run);
int CheckMap(CommandRun& run);
int RunMap(CommandRun& run);
int CheckExportAll(CommandRun& run);
int RunExportAll(CommandRun& run);
int RunDisc(CommandRun& run);
int RunImportAll(CommandRun& run);

// The exit status of a command's outcome: 0 done, 1 failed, 3 cancelled or declined.
int ExitStatusOf(Outcome outcome);

// After an import or append that is done: on standard error, what it cut of its source.
void PrintSoundCut(CommandRun& run, Outcome outcome);

}  // namespace sorvane::cli
