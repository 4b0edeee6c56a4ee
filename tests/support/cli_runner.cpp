#include "support/cli_runner.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace sorvane::testing {

CliRun RunCli(const std::string& program, const std::string& args, const TempDir& scratch) {
  const std::string errPath = scratch.File("cli-stderr.txt");
  const std::string command = program + " " + args + " 2>" + errPath + " </dev/null";
  CliRun run{-1, "", ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> chunk;
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.out.append(chunk.data(), n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.err = ReadFileBytes(errPath);
  return run;
}

}  // namespace sorvane::testing
