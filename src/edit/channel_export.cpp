#include "edit/channel_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/block_writer.h"
#include "edit/decode_walk.h"
#include "edit/export_pipeline.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

std::uint32_t LengthField(std::int64_t length) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(length, 0, 0xFFFFFFFF));
}

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

// Writes the header with the lengths of the file as it now is; false when it did not get
// there, and the file's lengths may then not match its blocks.
bool WriteHeader(FileIo& io, int fd, const ChannelRecord& record) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  std::uint8_t header[kWavHeaderBytes];
  MakeWavHeader(record, std::max<std::int64_t>(st.st_size, kWavHeaderBytes), header);
  return WriteAllAt(io, fd, 0, header, kWavHeaderBytes);
}

enum class Threads { One, Two };

// The blocks after the header, with the progress display shown.
Outcome WriteSamples(XaFile& xa, DecodeCursor& cursor, DecoderState& state, int fd,
                     ProgressMonitor& monitor, Threads threads) {
  BlockWriter writer(*xa.Io, fd);
  monitor.Start();
  Outcome outcome = threads == Threads::Two
                        ? WriteBlocksOnTwoThreads(xa, cursor, state, monitor, writer)
                        : WriteBlocks(xa, cursor, state, monitor, writer);
  if (!writer.Flush() && outcome == Outcome::Done) {
    xa.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  monitor.Finish();
  return outcome;
}

}  // namespace

int CreateExportWav(XaFile& xa, const std::string& wavPath) {
  // Truncating the XA file being read would destroy it before a single block is decoded.
  if (IsOpenXaFile(xa, wavPath)) {
    xa.LastErrorText = text::kExportOntoOpenFile;
    return -1;
  }
  const int fd = ::open(wavPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) xa.LastErrorText = text::kWavCannotOpen;
  return fd;
}

namespace {

// The export with the cursor and decoder state it walks with.
Outcome ExportWalk(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                   const ChannelRecord& record, const std::string& wavPath,
                   ProgressMonitor& monitor, Threads threads) {
  const int fd = CreateExportWav(xa, wavPath);
  if (fd < 0) return Outcome::Failed;
  // The first header already describes an empty file, so the file is valid from the start.
  if (!WriteHeader(*xa.Io, fd, record)) {
    xa.LastErrorText = text::kWavWriteFailed;
    ::close(fd);
    return Outcome::Failed;
  }
  SelectDecodeChannel(cursor, record);
  Outcome outcome = WriteSamples(xa, cursor, state, fd, monitor, threads);
  if (!WriteHeader(*xa.Io, fd, record) && outcome != Outcome::Failed) {
    xa.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  ::close(fd);
  return outcome;
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
  return ExportWalk(workspace.File, workspace.Decoding, workspace.Decoder, record, wavPath, monitor,
                    Threads::Two);
}

Outcome ExportChannelWith(XaFile& xa, DecoderState& state, const ChannelRecord& record,
                          const std::string& wavPath, ProgressMonitor& monitor) {
  DecodeCursor cursor;
  return ExportWalk(xa, cursor, state, record, wavPath, monitor, Threads::One);
}

}  // namespace sorvane
