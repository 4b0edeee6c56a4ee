// The streams a command talks through: its output, its messages and questions, and the
// answers typed to them, and the seam its files are written through. The program uses its
// own; tests hand in files and a seam of their own.
#pragma once

#include <cstdio>

#include "container/file_io.h"

namespace sorvane::cli {

struct Console {
  std::FILE* Out = stdout;
  std::FILE* Err = stderr;
  std::FILE* In = stdin;
  bool InIsTerminal = false;   // questions are asked only on a terminal
  bool ErrIsTerminal = false;  // the progress bar is drawn only on a terminal
  FileIo* Files = &SystemFileIo();
  bool OutIsTerminal = false;  // pictures are coloured only on a terminal
  int OutColumns = 80;         // the terminal's width, 80 when the output is no terminal
};

// The process's standard streams, with what they are connected to.
Console ProcessConsole();

}  // namespace sorvane::cli
