// The texts of the channel list's cells, shared by the editor window and the command line.
#pragma once

#include <array>
#include <string>

#include "container/xa_file.h"

namespace sorvane {

enum DisplayUnitValue : int { UnitSectors = 0, UnitTime = 1, UnitHexSectors = 2 };

inline constexpr int kListColumns = 7;
using ChannelRow = std::array<std::string, kListColumns>;

// "%3d:%02d.%02d" of minutes, seconds and the sector within the second (75 per second).
std::string FormatTimePosition(std::int64_t sector);

// A span of sectors as a playing time, as the list writes it, without the column's padding
// ("0:08.00").
std::string FormatPlayingTime(std::int64_t sectors);

// A sector's position as the start and end columns show it in the given unit.
std::string FormatPosition(std::int64_t sector, int unit);

// The seven cells of one channel in the given unit.
ChannelRow FormatChannelRow(const ChannelRecord& record, int unit);

// The header row; column 4 reads "再生時間" in time units and "  長さ" otherwise.
ChannelRow ListHeader(int unit);

}  // namespace sorvane
