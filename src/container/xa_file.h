// The open XA file: its layout, sector access by index, and its channel tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sorvane {

inline constexpr int kSectorBytes = 2336;      // subheader + payload, the part we read and write
inline constexpr int kRawSectorBytes = 2352;   // with the 16 bytes of sync and header
inline constexpr int kSubheaderBytes = 8;
inline constexpr int kMaxRecords = 256;
inline constexpr int kSectorsPerSecond = 75;

enum SectorKind : std::uint8_t { SectorEmpty = 0, SectorData = 1, SectorAudio = 2 };

// A decoded subheader. Its 8 bytes are compared as a whole by the channel scan.
struct SectorInfo {
  std::uint8_t Kind = SectorEmpty;
  std::uint8_t Channel = 0;
  std::uint8_t HighRate = 0;  // 1: 37.8 kHz
  std::uint8_t Stereo = 0;
  std::uint8_t Subheader[4] = {0, 0, 0, 0};  // file, channel, submode, coding information

  bool operator==(const SectorInfo&) const = default;
};

// Submode and coding bits of the subheader.
inline constexpr std::uint8_t kSubmodeEof = 0x80;
inline constexpr std::uint8_t kSubmodeAudioSector = 0x64;  // Form 2, Real-time, Audio
inline constexpr std::uint8_t kCodingStereo = 0x01;
inline constexpr std::uint8_t kCodingLowRate = 0x04;  // 18.9 kHz

// Classifies the first four subheader bytes.
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

// Sectors read ahead during sequential walks; any write or change of length drops them.
struct SectorReadAhead {
  static constexpr int kSectors = 128;
  std::vector<std::uint8_t> Span;  // whole sector spans, allocated on the first walk
  std::int32_t First = 0;
  std::int32_t Count = 0;       // sectors whose subheader was read
  std::int64_t Bytes = 0;       // bytes read from First's subheader on
  std::int32_t LastIndex = -2;  // index of the previous subheader read, to spot a walk
};

// The state of the one open file. Byte positions are 64-bit.
struct XaFile {
  XaFile() = default;
  XaFile(const XaFile&) = delete;
  XaFile& operator=(const XaFile&) = delete;
  ~XaFile();

  std::string Path;
  int Stream = -1;  // file descriptor, -1 when closed
  std::int32_t Stride = 0;
  std::int32_t DataOffset = 0;
  std::int32_t SectorCount = 0;
  std::int32_t ChannelPostGap = 0;
  std::int32_t EndPostGap = 0;
  std::int32_t ResizePermission = ResizeAsk;
  bool DuplicateWarned = false;
  ChannelTable AudioChannelTable;
  ChannelTable DataRunTable;
  // The fixed text of the last failing operation; never cleared on success.
  const char* LastErrorText = "";
  SectorReadAhead ReadAhead;

  bool IsOpen() const { return Stream >= 0; }
  // Byte position of sector index's subheader.
  std::int64_t SectorPosition(std::int32_t index) const {
    return std::int64_t{index} * Stride + DataOffset;
  }
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
int OpenXaFile(XaFile& xa, const std::string& path);
int ReopenXaFile(XaFile& xa);
void CloseXaFile(XaFile& xa);
// Writes a new file of 150 empty sectors in the plain layout and leaves it closed.
int CreateXaFile(XaFile& xa, const std::string& path);

// Fills a 2336-byte buffer with the empty sector (file number 1, all else 0), with or
// without the end-of-file mark.
void MakeEmptySector(std::uint8_t* buffer, bool endOfFile);

}  // namespace sorvane
