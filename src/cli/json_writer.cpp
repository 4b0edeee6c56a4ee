#include "cli/json_writer.h"

#include <cstdio>

namespace sorvane::cli {

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
  for (unsigned char c : value) {
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      text_ += escaped;
    } else {
      text_ += static_cast<char>(c);
    }
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

}  // namespace sorvane::cli
