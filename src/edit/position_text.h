// Sector positions as the dialogs show and read them: whole seconds at 75 sectors per
// second, a point, and the sectors left over. The part after the point is a sector count,
// not a fraction: "2.5" and "2.05" are both 155 sectors, "2.50" is 200.
#pragma once

#include <cstdint>
#include <string>

namespace sorvane {

// "%d.%02d": 155 sectors show as "2.05" (the file settings' gaps).
std::string FormatGapText(std::int32_t sectors);
// "%d.%d": 155 sectors show as "2.5" (the append dialog's start).
std::string FormatStartText(std::int32_t sectors);
// Reads "%d.%d" as seconds and sectors, both 0 when missing: "2" is 150, "" and ".5" are 0,
// "-1.0" is -75. Numbers beyond 32 bits are clamped; the sum wraps as 32-bit arithmetic.
std::int32_t ParsePositionText(const std::string& text);
// Reads a decimal integer at the start of the text as "%d" does (blanks, then an optional
// sign, then digits), clamped to 32 bits; false, and `value` untouched, when there is none.
bool ParseLeadingInteger(const std::string& text, std::int32_t& value);

}  // namespace sorvane
