#include "support/failing_file_io.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>

namespace sorvane::testing {
namespace {

bool Names(int fd, const std::string& path) {
  char target[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
  if (n <= 0) return false;
  return std::filesystem::weakly_canonical(path) == std::string(target, std::size_t(n));
}

bool Below(int fd, const std::string& folder) {
  char target[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
  const std::string prefix = std::filesystem::weakly_canonical(folder).string() + "/";
  return n > 0 && std::string(target, std::size_t(n)).starts_with(prefix);
}

}  // namespace

bool FailingFileIo::Fails(int fd) {
  if (!OnlyPath.empty() && !Names(fd, OnlyPath)) return false;
  if (!OnlyUnder.empty() && !Below(fd, OnlyUnder)) return false;
  ++Calls;
  const bool fails = FailAt > 0 && (Calls == FailAt || (StaysFailing && Calls > FailAt));
  if (fails) errno = ENOSPC;
  return fails;
}

ssize_t FailingFileIo::PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) {
  return Fails(fd) ? -1 : FileIo::PWrite(fd, data, size, offset);
}

int FailingFileIo::Truncate(int fd, std::int64_t length) {
  return Fails(fd) ? -1 : FileIo::Truncate(fd, length);
}

int FailingFileIo::Sync(int fd) { return Fails(fd) ? -1 : FileIo::Sync(fd); }

int FailingFileIo::Reserve(int fd, std::int64_t offset, std::int64_t size) {
  return Fails(fd) ? -1 : FileIo::Reserve(fd, offset, size);
}

}  // namespace sorvane::testing
