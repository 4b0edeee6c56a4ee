#include "cli/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace sorvane::cli {

Console ProcessConsole() {
  Console console{stdout, stderr, stdin, ::isatty(STDIN_FILENO) != 0, ::isatty(STDERR_FILENO) != 0};
  console.OutIsTerminal = ::isatty(STDOUT_FILENO) != 0;
  winsize size{};
  if (console.OutIsTerminal && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
    console.OutColumns = size.ws_col;
  return console;
}

}  // namespace sorvane::cli
