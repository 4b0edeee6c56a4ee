#include "edit/list_position.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/channel_list_format.h"

namespace sorvane {
namespace {

// Past any file's sector count, so that a long text cannot overflow.
constexpr std::int64_t kLargest = std::int64_t{1} << 40;

std::string Trimmed(const std::string& text) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  const auto first = std::find_if_not(text.begin(), text.end(), blank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
  return first < last ? std::string(first, last) : std::string();
}

int DigitValue(char c, int base) {
  const int value = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : std::isxdigit(static_cast<unsigned char>(c))
                        ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                        : base;
  return value < base ? value : -1;
}

// The whole of `text` from `at` up to `stop` as a number in `base`; at least one digit.
bool ReadNumber(const std::string& text, std::size_t at, std::size_t stop, int base,
                std::int64_t& value) {
  if (at >= stop) return false;
  std::int64_t number = 0;
  for (; at < stop; ++at) {
    const int digit = DigitValue(text[at], base);
    if (digit < 0) return false;
    number = std::min(number * base + digit, kLargest);
  }
  value = number;
  return true;
}

// "M:SS" or "M:SS.FF".
bool ReadTime(const std::string& text, std::int64_t& sector) {
  const std::size_t colon = text.find(':');
  const std::size_t point = std::min(text.find('.', colon), text.size());
  std::int64_t minutes = 0;
  std::int64_t seconds = 0;
  std::int64_t sectors = 0;
  if (colon == std::string::npos || !ReadNumber(text, 0, colon, 10, minutes) ||
      !ReadNumber(text, colon + 1, point, 10, seconds) || seconds >= 60)
    return false;
  if (point < text.size() &&
      (!ReadNumber(text, point + 1, text.size(), 10, sectors) || sectors >= kSectorsPerSecond))
    return false;
  sector = (minutes * 60 + seconds) * kSectorsPerSecond + sectors;
  return true;
}

int GuessedUnit(const std::string& text) {
  if (text.find(':') != std::string::npos) return UnitTime;
  const bool letters = std::any_of(text.begin(), text.end(), [](unsigned char c) {
    return std::isxdigit(c) && !std::isdigit(c);
  });
  return letters ? UnitHexSectors : UnitSectors;
}

}  // namespace

bool ParseListPosition(const std::string& text, std::optional<int> unit, std::int64_t& sector) {
  const std::string trimmed = Trimmed(text);
  switch (unit.value_or(GuessedUnit(trimmed))) {
    case UnitTime:
      return ReadTime(trimmed, sector);
    case UnitHexSectors:
      return ReadNumber(trimmed, 0, trimmed.size(), 16, sector);
    default:
      return ReadNumber(trimmed, 0, trimmed.size(), 10, sector);
  }
}

std::int64_t ExportFramesPerSector(const ChannelRecord& record) {
  return kPcmBlockBytes / (record.Stereo ? 4 : 2);
}

std::int64_t FrameAtSector(const ChannelRecord& record, std::int64_t sector) {
  const std::int64_t d = std::max<std::int32_t>(record.Interleave, 1);
  return (sector - record.FirstSector) * ExportFramesPerSector(record) / d;
}

std::int64_t SectorOfFrame(const ChannelRecord& record, std::int64_t frame) {
  const std::int64_t d = std::max<std::int32_t>(record.Interleave, 1);
  const std::int64_t perSector = ExportFramesPerSector(record);
  return record.FirstSector + (frame * d + perSector - 1) / perSector;
}

bool ChannelFrameOf(const ChannelRecord& record, const std::string& text, std::optional<int> unit,
                    std::int64_t& frame, const char*& error) {
  std::int64_t sector = 0;
  if (!ParseListPosition(text, unit, sector)) {
    error = text::kPositionUnreadable;
    return false;
  }
  const std::int64_t d = std::max<std::int32_t>(record.Interleave, 1);
  const bool time = unit.value_or(GuessedUnit(Trimmed(text))) == UnitTime;
  const std::int64_t start = time ? record.FirstSector / d * d : record.FirstSector;
  if (sector < start || sector > RecordEnd(record)) {
    error = text::kPositionOutsideChannel;
    return false;
  }
  frame = FrameAtSector(record, std::max<std::int64_t>(sector, record.FirstSector));
  return true;
}

}  // namespace sorvane
