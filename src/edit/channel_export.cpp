#include "edit/channel_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/decode_walk.h"
#include "format/little_endian.h"
#include "format/write_all.h"

namespace sorvane {
namespace {

constexpr std::size_t kBlocksPerWrite = 64;  // about 600 KB per write call

std::uint32_t LengthField(std::int64_t length) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(length, 0, 0xFFFFFFFF));
}

// Collects PCM blocks, decoded in place, and writes them in large pieces.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd), buffer_(kBlocksPerWrite * kPcmBlockBytes) {}

  // Room for the next block; nullptr when writing out the full buffer failed.
  std::uint8_t* NextBlock() {
    if (used_ == buffer_.size() && !Flush()) return nullptr;
    return buffer_.data() + used_;
  }
  void Commit() { used_ += kPcmBlockBytes; }
  // Writes what was collected; false when some of it did not reach the file.
  bool Flush() {
    const bool written = WriteAll(fd_, buffer_.data(), used_);
    used_ = 0;
    return written;
  }

 private:
  int fd_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
};

// The export loop between Start and Finish.
Outcome WriteBlocks(XaFile& xa, DecodeCursor& cursor, DecoderState& state, ProgressMonitor& monitor,
                    BlockWriter& writer) {
  for (;;) {
    monitor.SetPosition(ProgressPercent(cursor.Current, cursor.Record.FirstSector, cursor.End));
    if (monitor.PollCancel()) {
      xa.LastErrorText = text::kCancelled;
      return Outcome::Cancelled;
    }
    std::uint8_t* block = writer.NextBlock();
    if (block == nullptr) {
      xa.LastErrorText = text::kWavWriteFailed;
      return Outcome::Failed;
    }
    switch (DecodeNextSector(xa, cursor, state, block)) {
      case WalkStep::Failed:
        return Outcome::Failed;
      case WalkStep::Searching:
        break;
      case WalkStep::End:
        return Outcome::Done;
      case WalkStep::Decoded:
        writer.Commit();
        break;
    }
  }
}

// Rewrites the header with the lengths of the file as it now is; errors are ignored, as
// the export's result is already decided.
void FixUpHeader(int fd, const ChannelRecord& record) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return;
  std::uint8_t header[kWavHeaderBytes];
  MakeWavHeader(record, st.st_size, header);
  WriteAllAt(fd, 0, header, kWavHeaderBytes);
}

// The blocks after the header, with the progress display shown.
Outcome WriteSamples(Workspace& workspace, int fd, ProgressMonitor& monitor) {
  BlockWriter writer(fd);
  monitor.Start();
  Outcome outcome =
      WriteBlocks(workspace.File, workspace.Decoding, workspace.Decoder, monitor, writer);
  if (!writer.Flush() && outcome == Outcome::Done) {
    workspace.File.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  monitor.Finish();
  return outcome;
}

// Truncating the XA file being read would destroy it before a single block is decoded.
bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return std::filesystem::equivalent(a, b, ignored);
}

}  // namespace

void MakeWavHeader(const ChannelRecord& record, std::int64_t fileLength, std::uint8_t* header) {
  const std::uint32_t channels = record.Stereo ? 2 : 1;
  const std::uint32_t rate = DecodedRate(QualityOf(record));
  std::memcpy(header, "RIFF", 4);
  PutLe32(header + 4, LengthField(fileLength - 8));
  std::memcpy(header + 8, "WAVEfmt ", 8);
  PutLe32(header + 16, 16);
  PutLe16(header + 20, 1);  // PCM
  PutLe16(header + 22, channels);
  PutLe32(header + 24, rate);
  PutLe32(header + 28, rate * channels * 2);
  PutLe16(header + 32, channels * 2);
  PutLe16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  PutLe32(header + 40, LengthField(fileLength - kWavHeaderBytes));
}

Outcome ExportChannel(Workspace& workspace, const ChannelRecord& record, const std::string& wavPath,
                      ProgressMonitor& monitor) {
  XaFile& xa = workspace.File;
  if (IsSameFile(xa.Path, wavPath)) {
    xa.LastErrorText = text::kExportOntoOpenFile;
    return Outcome::Failed;
  }
  const int fd = ::open(wavPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    xa.LastErrorText = text::kWavCannotOpen;
    return Outcome::Failed;
  }
  // The first header already describes an empty file, so the file is valid from the start.
  std::uint8_t header[kWavHeaderBytes];
  MakeWavHeader(record, kWavHeaderBytes, header);
  if (!WriteAll(fd, header, kWavHeaderBytes)) {
    xa.LastErrorText = text::kWavWriteFailed;
    ::close(fd);
    return Outcome::Failed;
  }
  SelectDecodeChannel(workspace.Decoding, record);
  Outcome outcome = WriteSamples(workspace, fd, monitor);
  FixUpHeader(fd, record);
  ::close(fd);
  return outcome;
}

}  // namespace sorvane
