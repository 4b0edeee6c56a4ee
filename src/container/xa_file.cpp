#include "container/xa_file.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/fixed_texts.h"
#include "container/layout_headers.h"
#include "container/ripped_file.h"
#include "container/undo_journal.h"
#include "format/little_endian.h"
#include "format/sector_codes.h"

namespace sorvane {

// The one way to the descriptor of an XaFile.
struct XaFileStream {
  static int Of(const XaFile& xa) { return xa.stream_; }
  static void Set(XaFile& xa, int fd) { xa.stream_ = fd; }
};

namespace {

// In the order they are tried.
constexpr XaLayout kLayouts[] = {XaLayout::Plain2336, XaLayout::Raw2352, XaLayout::Riff2352};

constexpr std::int32_t kNewFileSectors = 150;

// Reads up to `size` bytes at `offset`; returns the number read (short at the end of file or on
// error).
std::int64_t ReadAt(int fd, std::int64_t offset, void* data, std::int64_t size) {
  std::int64_t done = 0;
  auto* bytes = static_cast<std::uint8_t*>(data);
  while (done < size) {
    ssize_t n = ::pread(fd, bytes + done, static_cast<size_t>(size - done), offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

bool HalvesAgree(const std::uint8_t* subheader) {
  return std::memcmp(subheader, subheader + 4, 4) == 0;
}

std::int64_t FileSize(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  return st.st_size;
}

void DropReadAhead(XaFile& xa) {
  xa.ReadAhead.Count = 0;
  xa.ReadAhead.LastIndex = -2;
}

// Loads the sectors from `index` on with one read of whole sector spans.
void FillReadAhead(XaFile& xa, std::int32_t index) {
  auto& ahead = xa.ReadAhead;
  ahead.Span.resize(std::size_t{SectorReadAhead::kSectors} * kRawSectorBytes);
  std::int32_t wanted = std::min<std::int32_t>(SectorReadAhead::kSectors, xa.SectorCount - index);
  std::int64_t got = ReadAt(XaFileStream::Of(xa), xa.SectorPosition(index), ahead.Span.data(),
                            std::int64_t{wanted - 1} * xa.Stride() + kSectorBytes);
  std::int32_t complete = 0;
  while (complete < wanted && std::int64_t{complete} * xa.Stride() + kSubheaderBytes <= got)
    ++complete;
  ahead.First = index;
  ahead.Count = complete;
  ahead.Bytes = got;
}

// Reads the 8 subheader bytes of an existing sector; false on a short read. A sequential
// walk is served from one large read instead of a system call per sector.
bool ReadSubheaderBytes(XaFile& xa, std::int32_t index, std::uint8_t* out) {
  auto& ahead = xa.ReadAhead;
  bool walking = index == ahead.LastIndex + 1;
  ahead.LastIndex = index;
  if (walking && (index < ahead.First || index >= ahead.First + ahead.Count))
    FillReadAhead(xa, index);
  if (index >= ahead.First && index < ahead.First + ahead.Count) {
    std::memcpy(out, &ahead.Span[std::size_t(index - ahead.First) * xa.Stride()], kSubheaderBytes);
    return true;
  }
  return ReadAt(XaFileStream::Of(xa), xa.SectorPosition(index), out, kSubheaderBytes) ==
         kSubheaderBytes;
}

// A whole sector from the read-ahead of a walk, when it holds it.
bool ReadAheadSector(const XaFile& xa, std::int32_t index, std::uint8_t* out) {
  const auto& ahead = xa.ReadAhead;
  if (index < ahead.First || index >= ahead.First + ahead.Count) return false;
  const std::size_t at = std::size_t(index - ahead.First) * xa.Stride();
  if (std::int64_t(at) + kSectorBytes > ahead.Bytes) return false;
  std::memcpy(out, &ahead.Span[at], kSectorBytes);
  return true;
}

// Opens a regular file for reading and writing, or for reading only when writing is not
// permitted (permissions, a read-only disc or mount); -1 when it cannot be read.
int OpenRegularFile(const std::string& path, bool& readOnly) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  readOnly = fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM);
  if (readOnly) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    return -1;
  }
  // A file without any write bit is read-only also for root, as text editors treat it.
  if (fd >= 0 && !readOnly && (st.st_mode & 0222) == 0) {
    ::close(fd);
    readOnly = true;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  return fd;
}

// Lets the journal of a running edit keep what a write is about to replace; false with the
// journal's message when it could not.
bool KeepBeforeWrite(XaFile& xa, std::int64_t position, std::int64_t size) {
  if (xa.Journal == nullptr || xa.Journal->BeforeWrite(xa, position, size)) return true;
  xa.LastErrorText = text::kJournalFailed;
  return false;
}

// Looks once through an entry of a disc image for what its new sectors must carry: the file
// number of its audio sectors, and whether its Form 2 sectors all carry a zero EDC. Stops as
// soon as both are known.
void SurveyEntry(XaFile& xa) {
  ImageEntry& entry = xa.Entry;
  entry.Surveyed = true;
  entry.FileNumber = entry.RecordFileNumber;
  constexpr std::int32_t kSpan = 64;
  std::vector<std::uint8_t> span(std::size_t{kSpan} * kRawSectorBytes);
  bool audioFound = false, form2Seen = false, edcSeen = false;
  for (std::int32_t first = 0; first < entry.Sectors && !(audioFound && edcSeen); first += kSpan) {
    const std::int32_t n = std::min(kSpan, entry.Sectors - first);
    const std::int64_t size = std::int64_t{n - 1} * kRawSectorBytes + kSectorBytes;
    if (ReadAt(XaFileStream::Of(xa), xa.SectorPosition(first), span.data(), size) != size) break;
    for (std::int32_t i = 0; i < n; ++i) {
      const std::uint8_t* sector = &span[std::size_t(i) * kRawSectorBytes];
      if (!HalvesAgree(sector)) continue;
      const SectorInfo info = ClassifySubheader(sector);
      if (info.Kind == SectorAudio && !audioFound) {
        audioFound = true;
        entry.FileNumber = sector[0];
      }
      if ((sector[2] & kSubmodeForm2) == 0) continue;
      form2Seen = true;
      edcSeen = edcSeen || GetLe32(sector + kForm2EdcOffset) != 0;
    }
  }
  entry.ZeroForm2Edc = form2Seen && !edcSeen;
}

// The file number of sectors an edit creates: 1, or inside a disc image the entry's own.
std::uint8_t NewSectorFileNumber(XaFile& xa) {
  if (!xa.Entry.Active) return 1;
  if (!xa.Entry.Surveyed) SurveyEntry(xa);
  return xa.Entry.FileNumber;
}

// Inside a disc image a written sector carries its error codes, as a drive reads them.
const std::uint8_t* WithSectorCodes(XaFile& xa, const std::uint8_t* buffer, std::uint8_t* coded) {
  if (!xa.Entry.Active) return buffer;
  if (!xa.Entry.Surveyed) SurveyEntry(xa);
  std::memcpy(coded, buffer, kSectorBytes);
  if ((coded[2] & kSubmodeForm2) != 0 && xa.Entry.ZeroForm2Edc) {
    std::memset(coded + kForm2EdcOffset, 0, 4);
  } else {
    SetSectorCodes(coded);
  }
  return coded;
}

// A subheader inside a disc image: the whole sector is written again, so that its error
// codes cover the new subheader.
int RewriteSubheader(XaFile& xa, std::int32_t index, const SectorInfo& info) {
  std::uint8_t sector[kSectorBytes];
  if (ReadAt(XaFileStream::Of(xa), xa.SectorPosition(index), sector, kSectorBytes) !=
      kSectorBytes) {
    xa.LastErrorText = text::kReadError;
    return -1;
  }
  std::memcpy(sector, info.Subheader, 4);
  std::memcpy(sector + 4, info.Subheader, 4);
  return WriteSector(xa, index, sector);
}

}  // namespace

void ChannelTable::RemoveAt(int index) {
  std::copy(Records.begin() + index + 1, Records.begin() + Count, Records.begin() + index);
  --Count;
}

XaFile::~XaFile() {
  if (stream_ >= 0) ::close(stream_);
}

SectorInfo ClassifySubheader(const std::uint8_t subheader[4]) {
  SectorInfo info;
  std::memcpy(info.Subheader, subheader, 4);
  const std::uint8_t submode = subheader[2];
  const std::uint8_t coding = subheader[3];
  // Padding reads as an empty sector, whatever its submode says.
  if (subheader[0] == kPaddingNumber && subheader[1] == kPaddingNumber) return info;
  if ((submode & kSubmodeAudioBits) == kSubmodeAudioBits) {
    info.Kind = SectorAudio;
    info.Channel = subheader[1];
    info.Stereo = (coding & kCodingStereo) ? 1 : 0;
    info.HighRate = (coding & kCodingLowRate) ? 0 : 1;
  } else if ((submode & kSubmodeKindBits) != 0) {
    info.Kind = SectorData;
  }
  return info;
}

std::int64_t LargestRecordEnd(const XaFile& xa) {
  std::int64_t largest = 0;
  for (const ChannelTable* table : {&xa.AudioChannelTable, &xa.DataRunTable}) {
    for (const ChannelRecord& r : *table) largest = std::max(largest, RecordEnd(r));
  }
  return largest;
}

std::int64_t FileLengthFor(const XaFile& xa, std::int32_t sectors) {
  if (sectors <= 0) return xa.DataOffset();
  return xa.SectorPosition(sectors - 1) + kSectorBytes;
}

std::int32_t SectorCountFor(const XaFile& xa, std::int64_t fileLength) {
  std::int64_t room = fileLength - xa.DataOffset() - kSectorBytes;
  if (room < 0) return 0;
  return static_cast<std::int32_t>(std::min<std::int64_t>(room / xa.Stride() + 1, INT32_MAX));
}

int DetectLayout(XaFile& xa) {
  xa.LastErrorText = text::kDetectReadError;
  for (const XaLayout layout : kLayouts) {
    bool agree = true;
    for (std::int64_t at : {std::int64_t{LayoutDataOffset(layout)},
                            std::int64_t{LayoutDataOffset(layout)} + LayoutStride(layout)}) {
      std::uint8_t subheader[kSubheaderBytes];
      if (ReadAt(XaFileStream::Of(xa), at, subheader, kSubheaderBytes) != kSubheaderBytes)
        return -1;
      if (!HalvesAgree(subheader)) {
        agree = false;
        break;
      }
    }
    if (agree) {
      xa.Layout = layout;
      return 0;
    }
  }
  xa.LastErrorText = text::kFormatUnknown;
  return -1;
}

bool ReadBytesAt(XaFile& xa, std::int64_t position, void* data, std::int64_t size) {
  return ReadAt(XaFileStream::Of(xa), position, data, size) == size;
}

bool WriteBytesAt(XaFile& xa, std::int64_t position, const void* data, std::int64_t size) {
  DropReadAhead(xa);
  if (!KeepBeforeWrite(xa, position, size)) return false;
  if (WriteAllAt(*xa.Io, XaFileStream::Of(xa), position, data, static_cast<std::size_t>(size)))
    return true;
  xa.LastErrorText = text::kWriteError;
  return false;
}

int ReadSubheader(XaFile& xa, std::int32_t index, SectorInfo& info) {
  if (index < 0) {
    xa.LastErrorText = text::kReadError;
    return -1;
  }
  if (index >= xa.SectorCount) {
    info = SectorInfo{};
    return 0;
  }
  std::uint8_t subheader[kSubheaderBytes];
  if (!ReadSubheaderBytes(xa, index, subheader)) {
    xa.LastErrorText = text::kReadError;
    return -1;
  }
  if (!HalvesAgree(subheader)) {
    xa.LastErrorText = text::kBadData;
    return -1;
  }
  info = ClassifySubheader(subheader);
  return 0;
}

int ReadSector(XaFile& xa, std::int32_t index, std::uint8_t* buffer, SectorInfo& info) {
  if (index < 0) {
    xa.LastErrorText = text::kReadError;
    return -1;
  }
  if (index >= xa.SectorCount) {
    std::memset(buffer, 0, kSectorBytes);
    info = SectorInfo{};
    return 0;
  }
  if (!ReadAheadSector(xa, index, buffer) && ReadAt(XaFileStream::Of(xa), xa.SectorPosition(index),
                                                    buffer, kSectorBytes) != kSectorBytes) {
    xa.LastErrorText = text::kReadError;
    return -1;
  }
  if (!HalvesAgree(buffer)) {
    xa.LastErrorText = text::kBadData;
    return -1;
  }
  info = ClassifySubheader(buffer);
  return 0;
}

int WriteSubheader(XaFile& xa, std::int32_t index, const SectorInfo& info) {
  if (index < 0) {
    xa.LastErrorText = text::kWriteError;
    return -1;
  }
  if (index >= xa.SectorCount) {
    xa.LastErrorText = text::kWritePositionError;
    return -1;
  }
  if (xa.Entry.Active) return RewriteSubheader(xa, index, info);
  DropReadAhead(xa);
  if (!KeepBeforeWrite(xa, xa.SectorPosition(index), kSubheaderBytes)) return -1;
  std::uint8_t subheader[kSubheaderBytes];
  std::memcpy(subheader, info.Subheader, 4);
  std::memcpy(subheader + 4, info.Subheader, 4);
  if (!WriteAllAt(*xa.Io, XaFileStream::Of(xa), xa.SectorPosition(index), subheader,
                  kSubheaderBytes)) {
    xa.LastErrorText = text::kWriteError;
    return -1;
  }
  return 0;
}

int WriteSector(XaFile& xa, std::int32_t index, const std::uint8_t* buffer) {
  if (index < 0) {
    xa.LastErrorText = text::kWriteError;
    return -1;
  }
  if (index >= xa.SectorCount) return 0;
  DropReadAhead(xa);
  std::uint8_t coded[kSectorBytes];
  const std::uint8_t* bytes = WithSectorCodes(xa, buffer, coded);
  if (!KeepBeforeWrite(xa, xa.SectorPosition(index), kSectorBytes)) return -1;
  if (!WriteAllAt(*xa.Io, XaFileStream::Of(xa), xa.SectorPosition(index), bytes, kSectorBytes)) {
    xa.LastErrorText = text::kWriteError;
    return -1;
  }
  return 0;
}

int OpenXaFile(XaFile& xa, const std::string& path) {
  if (OpenXaFileBytes(xa, path) != 0) return -1;
  if (DetectLayout(xa) != 0) {
    ExplainRippedFile(xa);
    CloseXaFile(xa);
    return -1;
  }
  xa.SectorCount = SectorCountFor(xa, XaFileLength(xa));
  xa.ResizePermission = ResizeAsk;
  xa.DuplicateWarned = false;
  return 0;
}

void SwitchXaFileEntry(XaFile& xa, const ImageEntry& entry) {
  DropReadAhead(xa);
  xa.AudioChannelTable.Count = 0;
  xa.DataRunTable.Count = 0;
  xa.Entry = entry;
  xa.Entry.Active = true;
  xa.Entry.Surveyed = false;
  xa.SectorCount = entry.Sectors;
  xa.ResizePermission = ResizeForbidden;
  xa.DuplicateWarned = false;
}

int OpenXaFileEntry(XaFile& xa, const std::string& imagePath, const ImageEntry& entry) {
  if (OpenXaFileBytes(xa, imagePath) != 0) return -1;
  xa.Layout = XaLayout::Raw2352;
  SwitchXaFileEntry(xa, entry);
  return 0;
}

int OpenXaFileBytes(XaFile& xa, const std::string& path) {
  xa.AudioChannelTable.Count = 0;
  xa.DataRunTable.Count = 0;
  CloseXaFile(xa);
  xa.Entry = ImageEntry{};
  const int fd = OpenRegularFile(path, xa.ReadOnly);
  if (fd < 0) {
    xa.LastErrorText = text::kCannotOpenFile;
    return -1;
  }
  XaFileStream::Set(xa, fd);
  xa.Path = path;
  xa.SectorCount = 0;
  return 0;
}

int CheckWritable(XaFile& xa) {
  if (!xa.ReadOnly) return 0;
  xa.LastErrorText = text::kReadOnlyFile;
  return -1;
}

int TruncateXaFile(XaFile& xa, std::int64_t length) {
  DropReadAhead(xa);
  if (xa.Entry.Active && length != XaFileLength(xa)) {
    xa.LastErrorText = text::kImageSizeFixed;
    return -1;
  }
  if (xa.Journal != nullptr && !xa.Journal->BeforeCut(xa, length)) {
    xa.LastErrorText = text::kJournalFailed;
    return -1;
  }
  if (xa.Io->Truncate(XaFileStream::Of(xa), length) != 0) {
    xa.LastErrorText = text::kWriteError;
    return -1;
  }
  return 0;
}

int SyncXaFile(XaFile& xa) {
  if (xa.Io->Sync(XaFileStream::Of(xa)) != 0) {
    xa.LastErrorText = text::kWriteError;
    return -1;
  }
  return 0;
}

std::int64_t XaFileLength(const XaFile& xa) { return FileSize(XaFileStream::Of(xa)); }

bool StatXaFile(const XaFile& xa, XaFileStat& stat) {
  struct statx st {};
  if (::statx(XaFileStream::Of(xa), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
    return false;
  stat.Device = (std::uint64_t{st.stx_dev_major} << 32) | st.stx_dev_minor;
  stat.Inode = st.stx_ino;
  stat.Length = static_cast<std::int64_t>(st.stx_size);
  stat.ModifiedNs = st.stx_mtime.tv_sec * std::int64_t{1000000000} + st.stx_mtime.tv_nsec;
  stat.ChangedNs = st.stx_ctime.tv_sec * std::int64_t{1000000000} + st.stx_ctime.tv_nsec;
  stat.BornNs = (st.stx_mask & STATX_BTIME) != 0
                    ? st.stx_btime.tv_sec * std::int64_t{1000000000} + st.stx_btime.tv_nsec
                    : 0;
  unsigned int generation = 0;
  stat.HasGeneration = ::ioctl(XaFileStream::Of(xa), FS_IOC_GETVERSION, &generation) == 0;
  stat.Generation = stat.HasGeneration ? generation : 0;
  return true;
}

int LockXaFile(XaFile& xa) {
  if (xa.Locked) return 0;
  int result;
  do result = ::flock(XaFileStream::Of(xa), LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  if (result != 0) {
    xa.LastErrorText = text::kFileInUse;
    return -1;
  }
  xa.Locked = true;
  return 0;
}

bool IsOpenXaFile(const XaFile& xa, const std::string& path) {
  struct stat open {
  }, other{};
  if (::fstat(XaFileStream::Of(xa), &open) != 0 || ::stat(path.c_str(), &other) != 0) return false;
  return open.st_dev == other.st_dev && open.st_ino == other.st_ino;
}

void CloseXaFile(XaFile& xa) {
  if (XaFileStream::Of(xa) >= 0) ::close(XaFileStream::Of(xa));
  XaFileStream::Set(xa, -1);
  xa.Locked = false;
  DropReadAhead(xa);
}

void MakeEmptySector(XaFile& xa, std::uint8_t* buffer, bool endOfFile) {
  std::memset(buffer, 0, kSectorBytes);
  buffer[0] = buffer[4] = NewSectorFileNumber(xa);
  if (endOfFile) buffer[2] = buffer[6] = kSubmodeEof;
}

int CreateXaFile(XaFile& xa, const std::string& path, XaLayout layout) {
  xa.AudioChannelTable.Count = 0;
  xa.DataRunTable.Count = 0;
  CloseXaFile(xa);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    xa.LastErrorText = text::kCannotOpenFile;
    return -1;
  }
  XaFileStream::Set(xa, fd);
  xa.Path = path;
  xa.ReadOnly = false;
  xa.Entry = ImageEntry{};
  xa.Layout = layout;
  xa.ResizePermission = ResizeAllowed;
  xa.EndPostGap = kNewFileSectors;
  xa.ChannelPostGap = kNewFileSectors;
  xa.SectorCount = kNewFileSectors;
  std::uint8_t sector[kSectorBytes];
  int result = 0;
  for (std::int32_t i = 0; i < kNewFileSectors && result == 0; ++i) {
    MakeEmptySector(xa, sector, i == kNewFileSectors - 1);
    result = WriteSector(xa, i, sector);
  }
  if (result == 0) result = WriteSyncAndHeaders(xa, 0, kNewFileSectors);
  if (result == 0 && layout == XaLayout::Riff2352) result = WriteRiffHeader(xa);
  CloseXaFile(xa);
  return result;
}

}  // namespace sorvane
