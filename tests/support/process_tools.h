// Running the real command-line program from a test, and making file writes fail.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

namespace sorvane::testing {

struct ProgramResult {
  int ExitStatus = -1;  // -1 when the program did not exit normally
  std::string Out;
  std::string Err;
};

struct RunOptions {
  // Start the program with a Ctrl-C already pending but blocked, as if the user pressed it
  // the moment the program began: it is seen by the first poll of a long operation.
  bool InterruptPending = false;
};

// Runs argv[0] with the arguments, standard input from /dev/null, and collects its output.
ProgramResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options = {});

// Runs argv[0] as RunProgram does, output discarded, and kills it with SIGKILL once `delay`
// has passed unless it has ended by then. True when it was killed.
bool RunKilledAfter(const std::vector<std::string>& argv, std::chrono::microseconds delay);

// While alive, another process holds the advisory lock of the file at `path`, as an editor
// that has it open does. Held() is false when the lock could not be taken.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path);
  ~LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  bool Held() const { return held_; }

 private:
  int release_ = -1;  // closing it lets the holder end
  int pid_ = -1;
  bool held_ = false;
};

// RunProgram with `program` and the blank-separated words of `args` (no quoting).
ProgramResult RunWords(const std::string& program, const std::string& args,
                       const RunOptions& options = {});

// While alive, files this process writes cannot grow past `bytes`: a write past the limit
// fails (EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace sorvane::testing
