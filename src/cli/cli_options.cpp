#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>

namespace sorvane::cli {

bool Arguments::Parse(const std::vector<std::string>& words, const OptionSpec& spec,
                      std::string& error) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
      positional_.push_back(word);
    } else if (spec.Flags.count(word)) {
      flags_.insert(word);
    } else if (spec.Valued.count(word)) {
      if (i + 1 >= words.size()) {
        error = "option " + word + " needs a value";
        return false;
      }
      values_[word] = words[++i];
    } else {
      error = "unknown option " + word;
      return false;
    }
  }
  return true;
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool ParseInteger(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

}  // namespace sorvane::cli
