// Runs a program (the real sorvane-cli) with standard input from /dev/null and captures
// its exit status and both output streams.
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace sorvane::testing {

struct CliRun {
  int status;  // exit status, -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// `args` is passed to the shell after the program's path; quote paths with blanks yourself.
CliRun RunCli(const std::string& program, const std::string& args, const TempDir& scratch);

}  // namespace sorvane::testing
