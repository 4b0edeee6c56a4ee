// The export's writer of PCM blocks (channel_export.cpp and export_pipeline.cpp): blocks are
// collected and written in large pieces after the WAV header.
#pragma once

#include <cstdint>
#include <vector>

#include "codec/adpcm_filters.h"
#include "container/file_io.h"
#include "edit/channel_export.h"

namespace sorvane {

class BlockWriter {
 public:
  static constexpr std::size_t kBlocksPerWrite = 8;  // about 75 KB per write call

  BlockWriter(FileIo& io, int fd) : io_(io), fd_(fd), buffer_(kBlocksPerWrite * kPcmBlockBytes) {}

  // Room for the next block; nullptr when writing out the full buffer failed.
  std::uint8_t* NextBlock() {
    if (used_ == buffer_.size() && !Flush()) return nullptr;
    return buffer_.data() + used_;
  }
  void Commit() { used_ += kPcmBlockBytes; }
  // Writes what was collected; false when some of it did not reach the file.
  bool Flush() {
    const bool written = WriteAllAt(io_, fd_, offset_, buffer_.data(), used_);
    offset_ += static_cast<std::int64_t>(used_);
    used_ = 0;
    return written;
  }

 private:
  FileIo& io_;
  int fd_;
  std::int64_t offset_ = kWavHeaderBytes;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
};

}  // namespace sorvane
