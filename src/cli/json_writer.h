// A small writer of compact JSON, enough for the command line's reports.
#pragma once

#include <cstdint>
#include <string>

namespace sorvane::cli {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  void Key(const std::string& key);
  void Field(const std::string& key, const std::string& value) {
    Key(key);
    String(value);
  }
  void Field(const std::string& key, const char* value) {
    Key(key);
    String(value);
  }
  void Field(const std::string& key, std::int64_t value) {
    Key(key);
    Number(value);
  }
  void String(const std::string& value);
  void Number(std::int64_t value);
  void Null();
  void Bool(bool value);
  // An array of strings.
  template <typename Container>
  void Strings(const Container& values) {
    BeginArray();
    for (const auto& v : values) String(v);
    EndArray();
  }
  const std::string& Text() const { return text_; }

 private:
  void Open(char bracket);
  void Close(char bracket);
  void Separate();

  std::string text_;
  bool needComma_ = false;
  bool afterKey_ = false;
};

}  // namespace sorvane::cli
