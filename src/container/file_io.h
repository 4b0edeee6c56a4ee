// Every call that changes a file on disk: the writes, truncations and syncs of the XA file
// and of exported WAVs, and the renames that put finished WAVs in place, all go through one
// FileIo, so that a test can make any one of them fail and see that the failure is reported.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace sorvane {

class FileIo {
 public:
  virtual ~FileIo() = default;
  // As pwrite(2), ftruncate(2) and fsync(2): -1 with errno set on failure.
  virtual ssize_t PWrite(int fd, const void* data, std::size_t size, std::int64_t offset);
  virtual int Truncate(int fd, std::int64_t length);
  virtual int Sync(int fd);
  // As rename(2).
  virtual int Rename(const char* from, const char* to);
  // Reserves room for `size` bytes from `offset` without changing the file's length
  // (fallocate(2) with FALLOC_FL_KEEP_SIZE), so that later writes there cannot find the disk
  // full. 0 also where the file system cannot reserve (EOPNOTSUPP): the writes are then on
  // their own, as without a reservation. Never writes zeros as posix_fallocate may.
  virtual int Reserve(int fd, std::int64_t offset, std::int64_t size);
};

// The system calls themselves. It holds no state, so one instance serves every file.
FileIo& SystemFileIo();

// Writes `size` bytes at byte `offset`, retrying short and interrupted writes; false when
// not all of them got there.
bool WriteAllAt(FileIo& io, int fd, std::int64_t offset, const void* data, std::size_t size);

}  // namespace sorvane
