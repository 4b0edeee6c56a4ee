// A temporary folder that is removed with everything in it when the test ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sorvane::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole-file helpers for checking what an operation left on disk.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
long long FileLength(const std::string& path);

// Little-endian numbers at a byte offset of file contents (WAV and RIFF headers).
std::uint32_t Le32(const std::string& bytes, std::size_t at);
std::uint16_t Le16(const std::string& bytes, std::size_t at);

}  // namespace sorvane::testing
