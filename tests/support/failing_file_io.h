// A write seam that fails on purpose: the n-th write, truncation, sync or reservation
// (counted together) fails with ENOSPC, as a disk that has just filled up would.
#pragma once

#include <string>

#include "container/file_io.h"

namespace sorvane::testing {

class FailingFileIo : public FileIo {
 public:
  // The call (1 = the first) that fails; 0: none does, the calls are only counted.
  int FailAt = 0;
  // Every call from FailAt on fails too, as when the disk stays full.
  bool StaysFailing = false;
  // Write-type calls seen so far, the failed ones included.
  int Calls = 0;
  // When set, only calls on this file count and fail (not those on the undo journal).
  std::string OnlyPath;
  // When set, only calls on files below this folder count and fail (the undo journal's).
  std::string OnlyUnder;

  ssize_t PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) override;
  int Truncate(int fd, std::int64_t length) override;
  int Sync(int fd) override;
  int Reserve(int fd, std::int64_t offset, std::int64_t size) override;

 private:
  // Counts the call; true when it is to fail (errno is then set).
  bool Fails(int fd);
};

}  // namespace sorvane::testing
