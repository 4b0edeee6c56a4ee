// Tools for tests of the undo journal: its entry files, a write seam that kills the process
// at its k-th call, and file times set as another program would set them.
#pragma once

#include <string>
#include <vector>

#include "container/file_io.h"
#include "support/process_tools.h"

namespace sorvane::testing {

// The journal's entry files (`*.undo`, `*.redo`) below `journal`, oldest first.
std::vector<std::string> EntryFiles(const std::string& journal);

// The folder of the one file's journal below `journal` (empty when there is none).
std::string JournalFolder(const std::string& journal);

// Counts every write, truncation, sync, reservation and rename; the k-th (from 1) is never
// made: the process is killed with SIGKILL just before it, as a crash would end it.
class KillingFileIo : public FileIo {
 public:
  explicit KillingFileIo(int killAt) : killAt_(killAt) {}
  int Calls() const { return calls_; }
  ssize_t PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) override;
  int Truncate(int fd, std::int64_t length) override;
  int Sync(int fd) override;
  int Reserve(int fd, std::int64_t offset, std::int64_t size) override;
  int Rename(const char* from, const char* to) override;

 private:
  void Count();
  int killAt_;
  int calls_ = 0;
};

// The calls of the command `words` run in process, counted (nothing killed).
int CountCalls(const std::vector<std::string>& words);

// Runs the command `words` in process, in a forked child killed at its k-th call. True when
// the child was killed (false: it ended before its k-th call).
bool RunKilledAtCall(const std::vector<std::string>& words, int k);

// Sets the file's modification time, in nanoseconds since the epoch, as `touch -d` or
// `cp -p` do; the status change time moves on regardless.
void SetModifiedTime(const std::string& path, long long ns);
long long ModifiedTime(const std::string& path);

}  // namespace sorvane::testing
