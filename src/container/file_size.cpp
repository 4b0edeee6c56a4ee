#include "container/file_size.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/fixed_texts.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

constexpr std::uint8_t kMode2 = 2;

std::uint8_t ToBcd(int value) { return static_cast<std::uint8_t>((value / 10) << 4 | (value % 10)); }

bool FromBcd(std::uint8_t bcd, int limit, int& value) {
  if ((bcd >> 4) > 9 || (bcd & 15) > 9) return false;
  value = (bcd >> 4) * 10 + (bcd & 15);
  return value < limit;
}

// Disc address (minutes, seconds, frames) as a frame count; -1 when not valid BCD.
std::int64_t AddressOf(const std::uint8_t* header) {
  int m = 0, s = 0, f = 0;
  if (!FromBcd(header[0], 100, m) || !FromBcd(header[1], 60, s) || !FromBcd(header[2], kSectorsPerSecond, f)) return -1;
  return (std::int64_t{m} * 60 + s) * kSectorsPerSecond + f;
}

// The 12-byte sync pattern and the 4-byte header of a mode 2 sector at `address`.
void MakeSyncAndHeader(std::int64_t address, std::uint8_t* out) {
  std::memset(out, 0xFF, 12);
  out[0] = out[11] = 0;
  address %= std::int64_t{100} * 60 * kSectorsPerSecond;
  out[12] = ToBcd(static_cast<int>(address / (60 * kSectorsPerSecond)));
  out[13] = ToBcd(static_cast<int>(address / kSectorsPerSecond % 60));
  out[14] = ToBcd(static_cast<int>(address % kSectorsPerSecond));
  out[15] = kMode2;
}

// Writes sync and header in front of each new raw sector: the address follows the
// previous sector's, or is the index + 150 when that one is not a valid address.
int WriteSyncAndHeaders(XaFile& xa, std::int32_t first, std::int32_t end) {
  if (xa.Layout == XaLayout::Plain2336) return 0;
  std::uint8_t previous[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  if (first > 0) {
    if (!ReadBytesAt(xa, xa.SectorPosition(first) - xa.Stride() - 4, previous, 4))
      std::memset(previous, 0xFF, 4);
  }
  std::int64_t address = AddressOf(previous);
  address = address < 0 ? std::int64_t{first} + 150 : address + 1;
  for (std::int32_t i = first; i < end; ++i, ++address) {
    std::uint8_t prefix[kSyncAndHeaderBytes];
    MakeSyncAndHeader(address, prefix);
    if (!WriteBytesAt(xa, xa.SectorPosition(i) - kSyncAndHeaderBytes, prefix, sizeof prefix)) {
      xa.LastErrorText = text::kWriteError;
      return -1;
    }
  }
  return 0;
}

// Keeps the two lengths of a RIFF wrapper in step with the file's length.
void UpdateRiffLengths(XaFile& xa) {
  if (xa.Layout != XaLayout::Riff2352) return;
  std::uint8_t magic[4];
  if (!ReadBytesAt(xa, 0, magic, 4) || std::memcmp(magic, "RIFF", 4) != 0) return;
  const std::int64_t size = FileLengthFor(xa, xa.SectorCount);
  std::uint8_t field[4];
  PutLe32(field, static_cast<std::uint32_t>(size - 8));
  WriteBytesAt(xa, 4, field, 4);
  PutLe32(field, static_cast<std::uint32_t>(size - kRiffHeaderBytes));
  WriteBytesAt(xa, 40, field, 4);
}

int SetEofMark(XaFile& xa, std::int32_t index, bool set) {
  SectorInfo info;
  if (ReadSubheader(xa, index, info) != 0) return -1;
  if (set) {
    info.Subheader[2] |= kSubmodeEof;
  } else {
    info.Subheader[2] &= static_cast<std::uint8_t>(~kSubmodeEof);
  }
  return WriteSubheader(xa, index, info);
}

int Shrink(XaFile& xa, std::int32_t wanted, Prompter& prompter) {
  CloseXaFile(xa);
  if (::truncate(xa.Path.c_str(), FileLengthFor(xa, wanted)) != 0) {
    prompter.NotifyUser(text::kResizeFailed);
    ReopenXaFile(xa);
    return -1;
  }
  xa.SectorCount = wanted;
  if (ReopenXaFile(xa) != 0) return -1;
  UpdateRiffLengths(xa);
  return SetEofMark(xa, wanted - 1, true);
}

int Grow(XaFile& xa, std::int32_t wanted) {
  if (SetEofMark(xa, xa.SectorCount - 1, false) != 0) return -1;
  const std::int32_t old = xa.SectorCount;
  xa.SectorCount = wanted;
  if (WriteSyncAndHeaders(xa, old, wanted) != 0) return -1;
  std::uint8_t sector[kSectorBytes];
  MakeEmptySector(sector, false);
  for (std::int32_t i = old; i < wanted - 1; ++i) {
    if (WriteSector(xa, i, sector) != 0) return -1;
  }
  MakeEmptySector(sector, true);
  if (WriteSector(xa, wanted - 1, sector) != 0) return -1;
  UpdateRiffLengths(xa);
  return 0;
}

}  // namespace

bool MayResize(XaFile& xa, Prompter& prompter) {
  if (xa.ResizePermission == ResizeAsk)
    xa.ResizePermission = prompter.AskOkCancel(text::kAskResize) ? ResizeAllowed : ResizeForbidden;
  return xa.ResizePermission == ResizeAllowed;
}

int ChangeSectorCount(XaFile& xa, std::int32_t wanted, Prompter& prompter) {
  wanted = std::max(wanted, kMinimumSectors);
  if (wanted == xa.SectorCount) return 0;
  return wanted < xa.SectorCount ? Shrink(xa, wanted, prompter) : Grow(xa, wanted);
}

int AdjustFileSize(XaFile& xa, Prompter& prompter) {
  if (xa.ResizePermission == ResizeForbidden) return 0;
  const std::int64_t target = std::max<std::int64_t>(LargestRecordEnd(xa) + xa.EndPostGap, kMinimumSectors);
  const std::int32_t wanted = static_cast<std::int32_t>(std::min<std::int64_t>(target, INT32_MAX));
  if (wanted == xa.SectorCount) return 0;
  if (!MayResize(xa, prompter)) return 0;
  return ChangeSectorCount(xa, wanted, prompter);
}

}  // namespace sorvane
