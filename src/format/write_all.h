// Writing a whole buffer to a file descriptor: a short write or an interrupted call is
// retried until every byte is written or the system refuses.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sorvane {

// Writes `size` bytes at the file position (write()); false when not all of them got there.
bool WriteAll(int fd, const void* data, std::size_t size);

// Writes `size` bytes at byte `offset` (pwrite()), leaving the file position alone; false
// when not all of them got there.
bool WriteAllAt(int fd, std::int64_t offset, const void* data, std::size_t size);

}  // namespace sorvane
