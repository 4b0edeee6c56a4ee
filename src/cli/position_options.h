// The options that name positions of a channel's sound (play --from, export --from/--to) and
// the units of the list (--units), shared by the commands that take them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/command_descriptor.h"

namespace sorvane::cli {

// "time", "sectors" or "hex" as a DisplayUnitValue; false for any other text.
bool UnitFromText(const std::string& text, int& unit);

// Checks --units before the opening: ExitDone, or a usage error.
int CheckPositionUnits(CommandRun& run);

// The frame of the channel named by option `name` (a position text read in the unit --units
// gives, else guessed from the text), or `fallback` when the option is absent. ExitDone, or
// ExitFailed with the refusal printed.
int FrameOption(CommandRun& run, const char* name, std::int64_t fallback, std::int64_t& frame);

}  // namespace sorvane::cli
