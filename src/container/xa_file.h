// The open XA file: its layout, sector access by index, and its channel tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "container/file_io.h"
#include "format/quality.h"
#include "format/sector.h"

namespace sorvane {

inline constexpr int kMaxRecords = 256;

enum SectorKind : std::uint8_t { SectorEmpty = 0, SectorData = 1, SectorAudio = 2 };

// A decoded subheader. Its 8 bytes are compared as a whole by the channel scan.
struct SectorInfo {
  SectorKind Kind = SectorEmpty;
  std::uint8_t Channel = 0;
  std::uint8_t HighRate = 0;  // 1: 37.8 kHz
  std::uint8_t Stereo = 0;
  std::uint8_t Subheader[4] = {0, 0, 0, 0};  // file, channel, submode, coding information

  bool operator==(const SectorInfo&) const = default;
};

// Classifies the first four subheader bytes. Padding (file and channel number both 0xFF)
// is empty, so that every reader of subheaders passes over it.
SectorInfo ClassifySubheader(const std::uint8_t subheader[4]);

// One audio channel, or one run of data sectors (Channel 255, Interleave 32).
struct ChannelRecord {
  std::uint8_t Channel = 0;
  std::uint8_t HighRate = 0;
  std::uint8_t Stereo = 0;
  std::uint8_t DoubleSpeed = 0;
  std::int32_t FirstSector = 0;
  std::int32_t SectorCount = 0;
  std::int32_t Interleave = 0;
};

inline Quality QualityOf(const SectorInfo& info) { return QualityOf(info.HighRate, info.Stereo); }
inline Quality QualityOf(const ChannelRecord& r) { return QualityOf(r.HighRate, r.Stereo); }

// One interleave step past the record's last sector, in 64 bits so that no sum overflows.
inline std::int64_t RecordEnd(const ChannelRecord& r) {
  return std::int64_t{r.FirstSector} + std::int64_t{r.SectorCount} * r.Interleave;
}

struct ChannelTable {
  std::array<ChannelRecord, kMaxRecords> Records{};
  std::int32_t Count = 0;

  ChannelRecord* begin() { return Records.data(); }
  ChannelRecord* end() { return Records.data() + Count; }
  const ChannelRecord* begin() const { return Records.data(); }
  const ChannelRecord* end() const { return Records.data() + Count; }
  bool Full() const { return Count >= kMaxRecords; }
  void Append(const ChannelRecord& r) { Records[Count++] = r; }
  void RemoveAt(int index);
};

enum ResizePermissionValue : std::int32_t { ResizeAsk = 0, ResizeAllowed = 1, ResizeForbidden = 2 };

// Where the sectors lie in the file.
enum class XaLayout : std::uint8_t {
  Plain2336,  // 2336-byte sectors from byte 0
  Raw2352,    // 2352-byte sectors, each subheader behind 16 bytes of sync and header
  Riff2352,   // raw sectors behind a 44-byte RIFF header
};

// Bytes from one subheader to the next.
constexpr std::int32_t LayoutStride(XaLayout layout) {
  return layout == XaLayout::Plain2336 ? kSectorBytes : kRawSectorBytes;
}
// Byte position of the first subheader.
constexpr std::int32_t LayoutDataOffset(XaLayout layout) {
  switch (layout) {
    case XaLayout::Plain2336:
      return 0;
    case XaLayout::Raw2352:
      return kSyncAndHeaderBytes;
    case XaLayout::Riff2352:
      break;
  }
  return kRiffHeaderBytes + kSyncAndHeaderBytes;
}

// Sectors read ahead during sequential walks; any write or change of length drops them.
struct SectorReadAhead {
  static constexpr int kSectors = 128;
  std::vector<std::uint8_t> Span;  // whole sector spans, allocated on the first walk
  std::int32_t First = 0;
  std::int32_t Count = 0;       // sectors whose subheader was read
  std::int64_t Bytes = 0;       // bytes read from First's subheader on
  std::int32_t LastIndex = -2;  // index of the previous subheader read, to spot a walk
};

class UndoJournal;

// What identifies the open file and tells whether it changed.
struct XaFileStat {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Length = 0;
  std::int64_t ModifiedNs = 0;  // modification time, nanoseconds since the epoch
  std::int64_t ChangedNs = 0;   // status change time (ctime), nanoseconds since the epoch
  std::int64_t BornNs = 0;      // creation time where the file system keeps it, else 0
  // The inode's generation number (FS_IOC_GETVERSION: ext4, btrfs); a new file on a reused
  // inode gets another one.
  std::uint64_t Generation = 0;
  bool HasGeneration = false;
};

// Where the open file lies when it is an entry of a disc image: a window of the image file
// that no read sees past and no write leaves. Its size is fixed by the image's directory.
struct ImageEntry {
  bool Active = false;
  std::string Image;         // the image as the person opened it: a CUE sheet or the raw image
  std::string Name;          // the entry: its ISO path ("/XA/VOICE.XA;1") or "@LBA:COUNT"
  std::int64_t Offset = 0;   // byte position of the entry's first raw sector in the image
  std::int32_t Sectors = 0;  // the entry's sector count
  std::uint8_t RecordFileNumber = 1;  // the directory record's file number (1 for a range)
  // Decided at the first write from the entry's own sectors (one walk of the entry):
  bool Surveyed = false;
  std::uint8_t FileNumber = 1;  // carried by the sectors an edit creates
  bool ZeroForm2Edc = false;    // its Form 2 sectors all carry a zero EDC: keep it so
};

// The state of the one open file. Byte positions are 64-bit. Its file is reached only
// through the functions below.
struct XaFile {
  XaFile() = default;
  XaFile(const XaFile&) = delete;
  XaFile& operator=(const XaFile&) = delete;
  ~XaFile();

  std::string Path;
  XaLayout Layout = XaLayout::Plain2336;
  std::int32_t SectorCount = 0;
  std::int32_t ChannelPostGap = 0;
  std::int32_t EndPostGap = 0;
  ResizePermissionValue ResizePermission = ResizeAsk;
  bool DuplicateWarned = false;
  ChannelTable AudioChannelTable;
  ChannelTable DataRunTable;
  // The tables come from a scan to the file's end, not only of its first sectors.
  bool ScannedToEnd = false;
  // The fixed text of the last failing operation; never cleared on success.
  const char* LastErrorText = "";
  SectorReadAhead ReadAhead;
  // Every write, truncation and sync of the file goes through this; tests replace it.
  FileIo* Io = &SystemFileIo();
  // Opened without write permission: reading works, every change is refused.
  bool ReadOnly = false;
  // Holds the advisory lock that keeps other editors from changing the file.
  bool Locked = false;
  // While an edit runs: keeps what each write and cut is about to replace.
  UndoJournal* Journal = nullptr;
  // Set when the file is an entry of a disc image (Path then names the image).
  ImageEntry Entry;

  bool IsOpen() const { return stream_ >= 0; }
  std::int32_t Stride() const { return LayoutStride(Layout); }
  std::int32_t DataOffset() const { return LayoutDataOffset(Layout); }
  // Byte position of sector 0's subheader in the file on disk.
  std::int64_t Origin() const { return Entry.Offset + DataOffset(); }
  // Byte position of sector index's subheader.
  std::int64_t SectorPosition(std::int32_t index) const {
    return std::int64_t{index} * Stride() + Origin();
  }

 private:
  friend struct XaFileStream;  // xa_file.cpp
  int stream_ = -1;            // file descriptor, -1 when closed
};

// The largest end over the records of both tables; 0 when both are empty.
std::int64_t LargestRecordEnd(const XaFile& xa);

// The file length at which a file of this layout holds exactly `sectors` sectors.
std::int64_t FileLengthFor(const XaFile& xa, std::int32_t sectors);
// Sectors held by a file of this length in this layout (a sector counts when its 2336 bytes fit).
std::int32_t SectorCountFor(const XaFile& xa, std::int64_t fileLength);

// All operations return 0 on success and -1 on failure with LastErrorText set.
int DetectLayout(XaFile& xa);
int ReadSubheader(XaFile& xa, std::int32_t index, SectorInfo& info);
int ReadSector(XaFile& xa, std::int32_t index, std::uint8_t* buffer, SectorInfo& info);
int WriteSubheader(XaFile& xa, std::int32_t index, const SectorInfo& info);
int WriteSector(XaFile& xa, std::int32_t index, const std::uint8_t* buffer);
// Bytes outside the sectors' 2336 (the raw layouts' sync and header, the RIFF header) at a
// byte position of the open file. True when all `size` bytes were read or written; a read
// sets no LastErrorText, a failed write sets it. A write drops the read-ahead.
bool ReadBytesAt(XaFile& xa, std::int64_t position, void* data, std::int64_t size);
bool WriteBytesAt(XaFile& xa, std::int64_t position, const void* data, std::int64_t size);
// 0 when the open file may be changed; -1 with the read-only message when it was opened
// read-only. Every command that changes the file asks this before its first write.
int CheckWritable(XaFile& xa);
// Opens for reading and writing, or read-only (ReadOnly set) when the file may only be read.
int OpenXaFile(XaFile& xa, const std::string& path);
// Opens as OpenXaFile does but without detecting the layout: undo and redo work on bytes, and
// must work on a file whose first sectors an interrupted edit left unreadable.
int OpenXaFileBytes(XaFile& xa, const std::string& path);
// Opens the entry of a disc image at `imagePath` as a file of raw sectors with the entry's
// fixed size (ResizePermission 2); the image's other bytes are never written.
int OpenXaFileEntry(XaFile& xa, const std::string& imagePath, const ImageEntry& entry);
// Makes another entry of the same open image the open file, keeping the image open, locked
// and under the running edit's journal; the tables are emptied for a new scan.
void SwitchXaFileEntry(XaFile& xa, const ImageEntry& entry);
void CloseXaFile(XaFile& xa);
// Cuts or extends the open file to `length` bytes; drops the read-ahead.
int TruncateXaFile(XaFile& xa, std::int64_t length);
// Makes what was written to the file durable.
int SyncXaFile(XaFile& xa);
// The length of the open file in bytes; -1 when it cannot be had.
std::int64_t XaFileLength(const XaFile& xa);
// The open file's identity, length and times; false when they cannot be had.
bool StatXaFile(const XaFile& xa, XaFileStat& stat);
// Takes the advisory lock of the open file without waiting: 0, or -1 with "ファイルは他の
// プログラムで使用中です。" when another process holds it. Closing the file releases it.
int LockXaFile(XaFile& xa);
// True when `path` names the open file itself (same device and inode, whatever the path:
// a symbolic or hard link to it included).
bool IsOpenXaFile(const XaFile& xa, const std::string& path);
// Writes a new file of 150 empty sectors in `layout` and leaves it closed: raw sectors get
// sync and headers from the address 00:02:00 on, a RIFF-wrapped file its 44-byte header.
int CreateXaFile(XaFile& xa, const std::string& path, XaLayout layout = XaLayout::Plain2336);

// Fills a 2336-byte buffer with the empty sector (file number 1, or inside a disc image the
// entry's file number; all else 0), with or without the end-of-file mark.
void MakeEmptySector(XaFile& xa, std::uint8_t* buffer, bool endOfFile);

}  // namespace sorvane
