// Opening FILE for a command as the editor does: layout, the scan of the first 64
// sectors, then (without --quick) the whole-file scan.
#pragma once

#include <cstdint>
#include <string>

#include "cli/terminal_ui.h"
#include "container/xa_file.h"

namespace sorvane::cli {

// 0 when the file is open and scanned; otherwise the exit status after the message was printed.
int OpenForCommand(XaFile& xa, const std::string& path, bool quick, TerminalProgress& progress);

// The table entry of channel number `text` (0..255), or nullptr after printing
// "no such channel" / a usage error (status in `status`).
ChannelRecord* ChannelByNumber(XaFile& xa, const std::string& text, int& status);

class Arguments;

// OpenForCommand on FILE (the first word) and ChannelByNumber on CH (the second); nullptr
// with `status` set when either fails.
ChannelRecord* OpenChannel(XaFile& xa, const Arguments& args, TerminalProgress& progress, int& status);

// True, after saying why, when `path` exists and --force was not given.
bool RefuseToReplace(const std::string& path, bool force);

// Prints "sorvane-cli: <what>" and the command's usage; returns ExitUsage.
int UsageError(const char* command, const std::string& what);

}  // namespace sorvane::cli
