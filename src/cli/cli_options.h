// Command-line arguments: positional words and "--name [value]" options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sorvane::cli {

enum ExitStatus : int { ExitDone = 0, ExitFailed = 1, ExitUsage = 2, ExitCancelled = 3 };

struct OptionSpec {
  std::set<std::string> Flags;   // options without a value
  std::set<std::string> Valued;  // options that take the next argument, even one starting with "-"
};

class Arguments {
 public:
  // Parses words after the command name; false with `error` set on an unknown option or a
  // missing value.
  bool Parse(const std::vector<std::string>& words, const OptionSpec& spec, std::string& error);

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const { return flags_.count(name) || values_.count(name); }
  std::optional<std::string> Value(const std::string& name) const;

 private:
  std::vector<std::string> positional_;
  std::set<std::string> flags_;
  std::map<std::string, std::string> values_;
};

// Parses a whole decimal number; false when the text is not one.
bool ParseInteger(const std::string& text, long long& value);

}  // namespace sorvane::cli
