#include "edit/file_settings.h"

#include <cctype>
#include <cstdio>
#include <limits>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

// Reads a decimal integer as "%d" does: blanks skipped, optional sign, at least one digit.
// Values beyond 32 bits are clamped instead of overflowing.
bool ScanInt(const std::string& text, std::size_t& at, std::int64_t& value) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  std::size_t p = at;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return false;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])); ++p) {
    if (magnitude < kLimit) magnitude = magnitude * 10 + (text[p] - '0');
  }
  if (magnitude > kLimit) magnitude = kLimit;
  value = negative ? -magnitude : (magnitude == kLimit ? kLimit - 1 : magnitude);
  at = p;
  return true;
}

}  // namespace

FileSettings CurrentSettings(const XaFile& xa) {
  return {xa.ChannelPostGap, xa.EndPostGap, xa.ResizePermission};
}

void StoreSettings(XaFile& xa, const FileSettings& settings) {
  xa.ChannelPostGap = settings.ChannelPostGap;
  xa.EndPostGap = settings.EndPostGap;
  xa.ResizePermission = settings.ResizePermission;
}

std::string FormatGapText(std::int32_t sectors) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d", sectors / kSectorsPerSecond,
                sectors % kSectorsPerSecond);
  return text;
}

std::int32_t ParseGapText(const std::string& text) {
  std::int64_t seconds = 0;
  std::int64_t sectors = 0;
  std::size_t at = 0;
  if (ScanInt(text, at, seconds) && at < text.size() && text[at] == '.') {
    ++at;
    ScanInt(text, at, sectors);
  }
  // Wraps as the 32-bit sum would; the clamped parts keep the 64-bit sum defined.
  return static_cast<std::int32_t>(kSectorsPerSecond * seconds + sectors);
}

const char* RefuseFileSettings(const FileSettings& settings) {
  if (settings.ChannelPostGap < 0 || settings.EndPostGap < 0) return text::kNegativeGap;
  if (settings.ChannelPostGap > settings.EndPostGap) return text::kGapTooLarge;
  return nullptr;
}

}  // namespace sorvane
