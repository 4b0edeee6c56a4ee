#include "edit/channel_part.h"

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/channel_export.h"
#include "edit/decode_walk.h"
#include "edit/list_position.h"

namespace sorvane {
namespace {

constexpr std::size_t kPieceBytes = 8 * kPcmBlockBytes;  // about 75 KB per write call

// The part's bytes, collected and written after the header in large pieces.
class PartWriter {
 public:
  PartWriter(FileIo& io, int fd) : io_(io), fd_(fd) { buffer_.reserve(kPieceBytes); }

  bool Add(const std::uint8_t* data, std::size_t bytes) {
    buffer_.insert(buffer_.end(), data, data + bytes);
    return buffer_.size() < kPieceBytes || Flush();
  }
  bool Flush() {
    const bool written =
        WriteAllAt(io_, fd_, kWavHeaderBytes + length_, buffer_.data(), buffer_.size());
    if (written) length_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.clear();
    return written;
  }
  // The bytes that reached the file.
  std::int64_t Length() const { return length_; }

 private:
  FileIo& io_;
  int fd_;
  std::vector<std::uint8_t> buffer_;
  std::int64_t length_ = 0;
};

// The loop of the part: whole sectors before byte `from` of the sound are decoded to their
// values only; the rest to blocks, of which the bytes from..to-1 go to `writer`.
Outcome WritePart(XaFile& xa, DecodeCursor& cursor, DecoderState& state, std::int64_t from,
                  std::int64_t to, std::int64_t stopSector, PartWriter& writer,
                  ProgressMonitor& monitor) {
  std::vector<std::uint8_t> block(kPcmBlockBytes);
  const auto values = std::make_unique<SectorValues>();
  for (std::int64_t at = 0; at < to;) {
    monitor.SetPosition(std::min(100, ProgressPercent(cursor.Current, cursor.Record.FirstSector,
                                                      std::max<std::int64_t>(stopSector, 1))));
    if (monitor.PollCancel()) {
      xa.LastErrorText = text::kCancelled;
      return Outcome::Cancelled;
    }
    const bool before = at + kPcmBlockBytes <= from;
    const WalkStep step = before ? DecodeNextValues(xa, cursor, state, *values)
                                 : DecodeNextSector(xa, cursor, state, block.data());
    if (step == WalkStep::Failed) return Outcome::Failed;
    if (step == WalkStep::End) return Outcome::Done;
    if (step == WalkStep::Searching) continue;
    const std::int64_t lo = std::max(from, at) - at;
    const std::int64_t hi = std::min<std::int64_t>(to - at, kPcmBlockBytes);
    if (!before && !writer.Add(block.data() + lo, static_cast<std::size_t>(hi - lo))) {
      xa.LastErrorText = text::kWavWriteFailed;
      return Outcome::Failed;
    }
    at += kPcmBlockBytes;
  }
  return Outcome::Done;
}

bool WritePartHeader(FileIo& io, int fd, const ChannelRecord& record, std::int64_t length) {
  std::uint8_t header[kWavHeaderBytes];
  MakeWavHeader(record, kWavHeaderBytes + length, header);
  return WriteAllAt(io, fd, 0, header, kWavHeaderBytes);
}

// The walk between the two headers, with the progress display shown.
Outcome WritePartSamples(Workspace& workspace, const ChannelRecord& record, FrameSpan span, int fd,
                         ProgressMonitor& monitor) {
  XaFile& xa = workspace.File;
  const std::int64_t frameBytes = record.Stereo ? 4 : 2;
  PartWriter writer(*xa.Io, fd);
  SelectDecodeChannel(workspace.Decoding, record);
  monitor.Start();
  Outcome outcome =
      WritePart(xa, workspace.Decoding, workspace.Decoder, span.From * frameBytes,
                span.To * frameBytes, SectorOfFrame(record, span.To), writer, monitor);
  if (!writer.Flush() && outcome == Outcome::Done) {
    xa.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  monitor.Finish();
  if (!WritePartHeader(*xa.Io, fd, record, writer.Length()) && outcome != Outcome::Failed) {
    xa.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  return outcome;
}

}  // namespace

Outcome ExportChannelPart(Workspace& workspace, const ChannelRecord& record, FrameSpan span,
                          const std::string& wavPath, ProgressMonitor& monitor) {
  XaFile& xa = workspace.File;
  if (span.To < span.From) {
    xa.LastErrorText = text::kPartReversed;
    return Outcome::Failed;
  }
  const int fd = CreateExportWav(xa, wavPath);
  if (fd < 0) return Outcome::Failed;
  Outcome outcome = Outcome::Failed;
  if (WritePartHeader(*xa.Io, fd, record, 0)) {
    outcome = WritePartSamples(workspace, record, span, fd, monitor);
  } else {
    xa.LastErrorText = text::kWavWriteFailed;
  }
  ::close(fd);
  return outcome;
}

}  // namespace sorvane
