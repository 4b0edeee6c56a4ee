// The streams a command talks through: its output, its messages and questions, and the
// answers typed to them. The program uses its own; tests hand in files of their own.
#pragma once

#include <cstdio>

namespace sorvane::cli {

struct Console {
  std::FILE* Out = stdout;
  std::FILE* Err = stderr;
  std::FILE* In = stdin;
  bool InIsTerminal = false;   // questions are asked only on a terminal
  bool ErrIsTerminal = false;  // the progress bar is drawn only on a terminal
};

// The process's standard streams, with what they are connected to.
Console ProcessConsole();

}  // namespace sorvane::cli
