#include "support/in_process_cli.h"

#include <cstdio>
#include <cstdlib>

#include "cli/command_runner.h"

namespace sorvane::testing {
namespace {

// A stream whose bytes end up in a string once it is closed.
class MemoryStream {
 public:
  MemoryStream() : file_(::open_memstream(&data_, &size_)) {}
  ~MemoryStream() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(data_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::FILE* File() const { return file_; }
  std::string Take() {
    std::fclose(file_);
    file_ = nullptr;
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

}  // namespace

ProgramResult RunInProcess(const std::vector<std::string>& words) {
  MemoryStream out;
  MemoryStream err;
  std::FILE* in = std::fopen("/dev/null", "r");
  cli::Console console{out.File(), err.File(), in, false, false};
  ProgramResult result;
  result.ExitStatus = cli::RunCli(words, console);
  std::fclose(in);
  result.Out = out.Take();
  result.Err = err.Take();
  return result;
}

ProgramResult RunInProcess(const std::string& args) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while ((at = args.find_first_not_of(' ', at)) != std::string::npos) {
    const std::size_t end = args.find(' ', at);
    words.push_back(args.substr(at, end - at));
    at = end;
  }
  return RunInProcess(words);
}

}  // namespace sorvane::testing
