#include "cli/json_writer.h"

#include <cstdio>

namespace sorvane::cli {
namespace {

// The length of the well-formed UTF-8 sequence of two to four bytes at `at`, or 0.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (needComma_) text_ += ", ";
}

void JsonWriter::Open(char bracket) {
  Separate();
  text_ += bracket;
  needComma_ = false;
}

void JsonWriter::Close(char bracket) {
  text_ += bracket;
  needComma_ = true;
}

void JsonWriter::Key(const std::string& key) {
  String(key);
  text_ += ": ";
  afterKey_ = true;
}

void JsonWriter::String(const std::string& value) {
  Separate();
  text_ += '"';
  for (std::size_t at = 0; at < value.size();) {
    const auto c = static_cast<unsigned char>(value[at]);
    const std::size_t sequence = c >= 0x80 ? Utf8SequenceAt(value, at) : 1;
    if (sequence > 1) {
      text_.append(value, at, sequence);
      at += sequence;
      continue;
    }
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x80) {
      // A control byte, or a byte that is not UTF-8 (names read from disc images), as the
      // character of that number.
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      text_ += escaped;
    } else {
      text_ += static_cast<char>(c);
    }
    ++at;
  }
  text_ += '"';
  needComma_ = true;
}

void JsonWriter::Number(std::int64_t value) {
  Separate();
  text_ += std::to_string(value);
  needComma_ = true;
}

void JsonWriter::Null() {
  Separate();
  text_ += "null";
  needComma_ = true;
}

void JsonWriter::Bool(bool value) {
  Separate();
  text_ += value ? "true" : "false";
  needComma_ = true;
}

}  // namespace sorvane::cli
