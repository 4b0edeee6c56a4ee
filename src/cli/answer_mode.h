// The --yes / --no options shared by the commands that may ask questions.
#pragma once

#include "cli/cli_options.h"
#include "cli/terminal_ui.h"

namespace sorvane::cli {

// false when both were given.
inline bool AnswerModeOf(const Arguments& args, AnswerMode& mode) {
  if (args.Has("--yes") && args.Has("--no")) return false;
  mode = args.Has("--yes") ? AnswerMode::Yes : args.Has("--no") ? AnswerMode::No : AnswerMode::Ask;
  return true;
}

}  // namespace sorvane::cli
