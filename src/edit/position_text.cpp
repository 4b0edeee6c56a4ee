#include "edit/position_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

#include "format/sector.h"

namespace sorvane {
namespace {

// Reads a "%d" field at `at`; clamps instead of overflowing.
bool ScanInteger(const std::string& text, std::size_t& at, std::int64_t& value) {
  std::size_t p = at;
  while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return false;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])); ++p)
    magnitude = std::min(magnitude * 10 + (text[p] - '0'), kLimit);
  value = negative ? -magnitude : std::min(magnitude, kLimit - 1);
  at = p;
  return true;
}

std::string Format(const char* pattern, std::int32_t sectors) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, sectors / kSectorsPerSecond,
                sectors % kSectorsPerSecond);
  return text;
}

}  // namespace

std::string FormatGapText(std::int32_t sectors) { return Format("%d.%02d", sectors); }

std::string FormatStartText(std::int32_t sectors) { return Format("%d.%d", sectors); }

std::int32_t ParsePositionText(const std::string& text) {
  std::int64_t seconds = 0;
  std::int64_t sectors = 0;
  std::size_t at = 0;
  if (ScanInteger(text, at, seconds) && at < text.size() && text[at] == '.') {
    ++at;
    ScanInteger(text, at, sectors);
  }
  return static_cast<std::int32_t>(kSectorsPerSecond * seconds + sectors);
}

bool ParseLeadingInteger(const std::string& text, std::int32_t& value) {
  std::size_t at = 0;
  std::int64_t wide = 0;
  if (!ScanInteger(text, at, wide)) return false;
  value = static_cast<std::int32_t>(wide);
  return true;
}

}  // namespace sorvane
