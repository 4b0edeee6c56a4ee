#include "container/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sorvane {

ssize_t FileIo::PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) {
  return ::pwrite(fd, data, size, offset);
}

int FileIo::Truncate(int fd, std::int64_t length) {
  int result;
  do result = ::ftruncate(fd, length);
  while (result != 0 && errno == EINTR);
  return result;
}

int FileIo::Sync(int fd) { return ::fsync(fd); }

int FileIo::Reserve(int fd, std::int64_t offset, std::int64_t size) {
  int result;
  do result = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, offset, size);
  while (result != 0 && errno == EINTR);
  return result == 0 || errno == EOPNOTSUPP || errno == ENOSYS ? 0 : -1;
}

int FileIo::Rename(const char* from, const char* to) { return std::rename(from, to); }

FileIo& SystemFileIo() {
  static FileIo system;
  return system;
}

bool WriteAllAt(FileIo& io, int fd, std::int64_t offset, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = io.PWrite(fd, bytes, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    offset += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace sorvane
