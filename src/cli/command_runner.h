// The one runner of sorvane-cli's commands: the words are parsed and checked against the
// command's descriptor, --yes/--no set the answers, FILE is opened and scanned and CH looked
// up as the command needs, and then its body runs. Runs in-process: tests call it with
// streams of their own.
#pragma once

#include <string>
#include <vector>

#include "cli/command_descriptor.h"
#include "cli/console.h"

namespace sorvane::cli {

using Words = std::vector<std::string>;

// The whole program: `words` are the arguments after the program's name. Returns the exit
// status.
int RunCli(const Words& words, Console& io);

// One command with the words after its name.
int RunCommand(const CommandDescriptor& command, const Words& words, Console& io);

}  // namespace sorvane::cli
