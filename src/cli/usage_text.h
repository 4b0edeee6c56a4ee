// The usage text of sorvane-cli, made from the command descriptors.
#pragma once

#include <cstdio>
#include <string>

#include "cli/command_descriptor.h"

namespace sorvane::cli {

// The usage line(s) of one command after "sorvane-cli ": the name in a column of eight,
// the arguments, then each listed option in brackets; a second line is indented under it.
std::string UsageOf(const CommandDescriptor& command);

// "sorvane-cli --help": the version, every command's usage and the exit statuses.
void PrintHelp(std::FILE* out);

// Prints "sorvane-cli: <what>" and the usage of `command` (of every command when nullptr)
// to the error stream; returns ExitUsage.
int PrintUsageError(Console& io, const CommandDescriptor* command, const std::string& what);

}  // namespace sorvane::cli
