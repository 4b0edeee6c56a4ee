// sorvane-cli: the editor's operations from the command line.
#include "cli/command_runner.h"
#include "cli/console.h"

int main(int argc, char** argv) {
  sorvane::cli::Console console = sorvane::cli::ProcessConsole();
  return sorvane::cli::RunCli(sorvane::cli::Words(argv + 1, argv + argc), console);
}
