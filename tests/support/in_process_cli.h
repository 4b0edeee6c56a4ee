// Running sorvane-cli's commands inside the test process, with its output and messages
// caught in memory and no terminal: for tests where nothing depends on a real process.
#pragma once

#include <string>
#include <vector>

#include "support/process_tools.h"

namespace sorvane::testing {

// RunCli with `words` (the arguments after the program's name).
ProgramResult RunInProcess(const std::vector<std::string>& words);

// RunInProcess with the blank-separated words of `args` (no quoting).
ProgramResult RunInProcess(const std::string& args);

}  // namespace sorvane::testing
