#include "edit/channel_list_format.h"

#include <cstdio>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

template <typename... Args>
std::string Format(const char* pattern, Args... args) {
  char cell[64];
  std::snprintf(cell, sizeof cell, pattern, args...);
  return cell;
}

// Positions are shown as 32-bit numbers, as the tables hold them.
int AsShown(std::int64_t value) { return static_cast<int>(value); }

}  // namespace

std::string FormatPosition(std::int64_t sector, int unit) {
  if (unit == UnitTime) return FormatTimePosition(sector);
  return Format(unit == UnitHexSectors ? " %6X" : " %6d", AsShown(sector));
}

std::string FormatTimePosition(std::int64_t sector) {
  const int t = AsShown(sector);
  constexpr int kPerMinute = 60 * kSectorsPerSecond;
  return Format("%3d:%02d.%02d", t / kPerMinute, t / kSectorsPerSecond % 60, t % kSectorsPerSecond);
}

std::string FormatPlayingTime(std::int64_t sectors) {
  const std::string text = FormatTimePosition(sectors);
  return text.substr(text.find_first_not_of(' '));
}

ChannelRow FormatChannelRow(const ChannelRecord& r, int unit) {
  const std::int64_t d = r.Interleave == 0 ? 1 : r.Interleave;  // records always have one
  const std::int64_t end = RecordEnd(r);
  const std::int64_t length = std::int64_t{r.SectorCount} * r.Interleave;
  ChannelRow row;
  row[0] = Format("%3d", r.Channel);
  row[1] = Format("%3d", AsShown(r.FirstSector % d));
  if (unit == UnitTime) {
    row[2] = FormatTimePosition(r.FirstSector / d * d);
    row[3] = FormatTimePosition(end / d * d);
    row[4] = FormatTimePosition(r.DoubleSpeed ? length / 2 : length);
  } else {
    row[2] = FormatPosition(r.FirstSector, unit);
    row[3] = FormatPosition(end, unit);
    row[4] = Format(unit == UnitHexSectors ? "%7X" : "%7d", AsShown(length));
  }
  row[5] = Format(" %s %s", r.HighRate ? "37.8k" : "18.9k", r.Stereo ? "Stereo" : "Mono");
  row[6] = r.DoubleSpeed ? text::kCellDoubleSpeed : text::kCellNormalSpeed;
  return row;
}

ChannelRow ListHeader(int unit) {
  return {text::kHeaderCh,
          text::kHeaderTrk,
          text::kHeaderStart,
          text::kHeaderEnd,
          unit == UnitTime ? text::kHeaderPlayTime : text::kHeaderLength,
          text::kHeaderQuality,
          text::kHeaderSpeed};
}

}  // namespace sorvane
