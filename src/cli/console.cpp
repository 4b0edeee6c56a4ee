#include "cli/console.h"

#include <unistd.h>

namespace sorvane::cli {

Console ProcessConsole() {
  return Console{stdout, stderr, stdin, ::isatty(STDIN_FILENO) != 0, ::isatty(STDERR_FILENO) != 0};
}

}  // namespace sorvane::cli
