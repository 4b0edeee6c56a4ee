#include "support/failing_file_io.h"

#include <cerrno>

namespace sorvane::testing {

bool FailingFileIo::Fails() {
  ++Calls;
  const bool fails = FailAt > 0 && (Calls == FailAt || (StaysFailing && Calls > FailAt));
  if (fails) errno = ENOSPC;
  return fails;
}

ssize_t FailingFileIo::PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) {
  return Fails() ? -1 : FileIo::PWrite(fd, data, size, offset);
}

int FailingFileIo::Truncate(int fd, std::int64_t length) {
  return Fails() ? -1 : FileIo::Truncate(fd, length);
}

int FailingFileIo::Sync(int fd) { return Fails() ? -1 : FileIo::Sync(fd); }

}  // namespace sorvane::testing
