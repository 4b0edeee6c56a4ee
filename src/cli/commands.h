// The sub-commands of sorvane-cli. Each takes the words after its name and returns an
// exit status (cli_options.h).
#pragma once

#include <string>
#include <vector>

namespace sorvane::cli {

using Words = std::vector<std::string>;

struct Command {
  const char* Name;
  const char* Usage;  // the usage line(s) after "sorvane-cli "
  int (*Run)(const Words& words);
};

int RunList(const Words& words);
int RunExport(const Words& words);
int RunPlay(const Words& words);
int RunNew(const Words& words);
int RunDemo(const Words& words);
int RunImport(const Words& words);
int RunAppend(const Words& words);
int RunDelete(const Words& words);
int RunSettings(const Words& words);

// Every command, in the order of the usage text.
const std::vector<Command>& AllCommands();

}  // namespace sorvane::cli
