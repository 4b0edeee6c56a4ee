#include "container/layout_headers.h"

#include <cstring>

#include "common/fixed_texts.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

constexpr std::uint8_t kMode2 = 2;

std::uint8_t ToBcd(int value) {
  return static_cast<std::uint8_t>((value / 10) << 4 | (value % 10));
}

bool FromBcd(std::uint8_t bcd, int limit, int& value) {
  if ((bcd >> 4) > 9 || (bcd & 15) > 9) return false;
  value = (bcd >> 4) * 10 + (bcd & 15);
  return value < limit;
}

// Disc address (minutes, seconds, frames) as a frame count; -1 when not valid BCD.
std::int64_t AddressOf(const std::uint8_t* header) {
  int m = 0, s = 0, f = 0;
  if (!FromBcd(header[0], 100, m) || !FromBcd(header[1], 60, s) ||
      !FromBcd(header[2], kSectorsPerSecond, f))
    return -1;
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

// The attributes of the file's directory record on an XA disc, as a RIFF-wrapped copy
// carries them in its "fmt " chunk: owner group and user 0; attributes 0x3D55 (big-endian
// as on the disc: read and execute for owner, group and world, sectors of form 1 and form 2,
// interleaved); the signature "XA"; file number 1, the number our empty sectors carry; the
// five reserved bytes of the record and two bytes that fill the chunk to 16, all zero.
constexpr std::uint8_t kXaAttributes[16] = {0, 0, 0, 0, 0x3D, 0x55, 'X', 'A',
                                            1, 0, 0, 0, 0,    0,    0,   0};

}  // namespace

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
    if (!WriteBytesAt(xa, xa.SectorPosition(i) - kSyncAndHeaderBytes, prefix, sizeof prefix))
      return -1;
  }
  return 0;
}

int UpdateRiffLengths(XaFile& xa) {
  if (xa.Layout != XaLayout::Riff2352) return 0;
  std::uint8_t magic[4];
  if (!ReadBytesAt(xa, 0, magic, 4) || std::memcmp(magic, "RIFF", 4) != 0) return 0;
  const std::int64_t size = FileLengthFor(xa, xa.SectorCount);
  std::uint8_t field[4];
  PutLe32(field, static_cast<std::uint32_t>(size - 8));
  bool written = WriteBytesAt(xa, 4, field, 4);
  PutLe32(field, static_cast<std::uint32_t>(size - kRiffHeaderBytes));
  written = written && WriteBytesAt(xa, 40, field, 4);
  return written ? 0 : -1;
}

int WriteRiffHeader(XaFile& xa) {
  std::uint8_t header[kRiffHeaderBytes] = {};
  const std::int64_t size = FileLengthFor(xa, xa.SectorCount);
  std::memcpy(header, "RIFF", 4);
  PutLe32(header + 4, static_cast<std::uint32_t>(size - 8));
  std::memcpy(header + 8, "CDXAfmt ", 8);
  PutLe32(header + 16, sizeof kXaAttributes);
  std::memcpy(header + 20, kXaAttributes, sizeof kXaAttributes);
  std::memcpy(header + 36, "data", 4);
  PutLe32(header + 40, static_cast<std::uint32_t>(size - kRiffHeaderBytes));
  return WriteBytesAt(xa, 0, header, sizeof header) ? 0 : -1;
}

}  // namespace sorvane
