// The ISO 9660 directory tree of a data track. libiso9660 finds the volume and reads its
// primary volume descriptor; the directories are read here, sector by sector from each raw
// sector's user data, because the library reads a directory of several sectors as one run of
// 2048-byte blocks (in a raw image the next sector's sync and header fall inside it) and
// copies names by their recorded lengths unchecked. Every directory's extent is checked
// against the track, and each is read once.
#include <cdio/bytesex.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <vector>

#include "common/fixed_texts.h"
#include "disc/disc_image.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kMostDirectoryBytes = 16u << 20;
constexpr int kMostDepth = 64;
constexpr std::size_t kMostFiles = 1u << 17;
constexpr std::int64_t kRawSector = 2352;
constexpr int kUserDataAt = 24;  // sync, header and subheader before a Form 1 sector's data
constexpr int kRecordHead = 33;  // a directory record before its name
constexpr std::uint8_t kDirectoryFlag = 0x02;

// The library's default handler ends the process on errors and prints on standard output.
void QuietLog(cdio_log_level_t, const char*) {}

struct IsoHandle {
  iso9660_t* Iso = nullptr;
  ~IsoHandle() {
    if (Iso != nullptr) iso9660_close(Iso);
  }
};

struct TrackFd {
  explicit TrackFd(const std::string& path) : Fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~TrackFd() {
    if (Fd >= 0) ::close(Fd);
  }
  int Fd;
};

struct Directory {
  std::string Path;  // from the root, ending in '/'
  std::uint32_t Lsn = 0;
  std::uint32_t Bytes = 0;
};

// One record of a directory.
struct Record {
  std::string Name;
  std::uint32_t Lsn = 0;
  std::uint32_t Size = 0;
  bool IsDirectory = false;
  bool HasXa = false;
  std::uint16_t Attributes = 0;
  std::uint8_t FileNumber = 0;
};

// The XA field of a record's system use area: owner ids, attributes (big-endian), "XA", the
// file number.
void ReadXaField(const std::uint8_t* record, std::size_t length, Record& out) {
  const std::size_t name = record[32];
  const std::size_t use = kRecordHead + name + (name % 2 == 0 ? 1 : 0);
  if (use + 14 > length || record[use + 6] != 'X' || record[use + 7] != 'A') return;
  out.HasXa = true;
  out.Attributes = std::uint16_t(record[use + 4] << 8 | record[use + 5]);
  out.FileNumber = record[use + 8];
}

// The records of one sector of a directory: records never cross a sector's end, and a zero
// length byte ends the sector's records. False when a record does not fit.
bool ReadRecords(const std::uint8_t* sector, std::vector<Record>& out) {
  for (std::size_t at = 0; at < 2048 && sector[at] != 0;) {
    const std::uint8_t* record = sector + at;
    const std::size_t length = record[0];
    if (at + length > 2048 || length < kRecordHead + 1u ||
        std::size_t{kRecordHead} + record[32] > length)
      return false;
    Record r;
    r.Name.assign(reinterpret_cast<const char*>(record + kRecordHead), record[32]);
    r.Lsn = GetLe32(record + 2);
    r.Size = GetLe32(record + 10);
    r.IsDirectory = (record[25] & kDirectoryFlag) != 0;
    ReadXaField(record, length, r);
    // The first two records are the directory itself and its parent.
    if (r.Name.size() != 1 || (r.Name[0] != '\0' && r.Name[0] != '\1')) out.push_back(r);
    at += length;
  }
  return true;
}

class TreeWalk {
 public:
  TreeWalk(int fd, DiscImage& image) : fd_(fd), image_(image) {}

  void Walk(const Directory& dir, int depth) {
    std::vector<Record> records;
    if (depth > kMostDepth || !Admit(dir) || !Read(dir, records)) return;
    for (const Record& r : records) {
      if (r.IsDirectory) continue;
      if (image_.Files.size() < kMostFiles) AddFile(dir.Path + r.Name, r);
    }
    for (const Record& r : records)
      if (r.IsDirectory) Walk({dir.Path + r.Name + "/", r.Lsn, r.Size}, depth + 1);
  }

 private:
  // A directory is read when its extent lies inside the track and it was not read before.
  bool Admit(const Directory& dir) {
    const std::int64_t sectors = (std::int64_t{dir.Bytes} + 2047) / 2048;
    if (dir.Bytes == 0 || dir.Bytes > kMostDirectoryBytes ||
        std::int64_t{dir.Lsn} + sectors > image_.TrackSectors) {
      image_.Warnings.push_back(dir.Path + ": " + text::kImageTruncated);
      return false;
    }
    if (!read_.insert(dir.Lsn).second) return false;
    image_.Reserved.push_back({std::int32_t(dir.Lsn), std::int32_t(sectors)});
    return true;
  }

  bool Read(const Directory& dir, std::vector<Record>& records) {
    std::uint8_t sector[2048];
    const std::uint32_t sectors = (dir.Bytes + 2047) / 2048;
    for (std::uint32_t k = 0; k < sectors; ++k) {
      const std::int64_t at = (std::int64_t{dir.Lsn} + k) * kRawSector + kUserDataAt;
      if (::pread(fd_, sector, sizeof sector, at) != sizeof sector ||
          !ReadRecords(sector, records)) {
        image_.Warnings.push_back(dir.Path + ": " + text::kDirectoryUnreadable);
        return false;
      }
    }
    return true;
  }

  void AddFile(const std::string& path, const Record& r) {
    DiscFile file;
    file.Path = path;
    file.FirstSector = static_cast<std::int32_t>(std::min<std::uint32_t>(r.Lsn, INT32_MAX));
    file.DataLength = r.Size;
    file.SectorCount = static_cast<std::int32_t>((std::int64_t{r.Size} + 2047) / 2048);
    if (r.HasXa) {
      file.Attributes = r.Attributes;
      file.FileNumber = r.FileNumber;
    }
    image_.Files.push_back(file);
  }

  int fd_;
  DiscImage& image_;
  std::set<std::uint32_t> read_;
};

}  // namespace

const char* ReadIsoTree(DiscImage& image) {
  cdio_log_set_handler(QuietLog);
  IsoHandle handle;
  handle.Iso = iso9660_open_fuzzy_ext(image.TrackPath.c_str(), ISO_EXTENSION_NONE, 20);
  if (handle.Iso == nullptr) return text::kNoIsoVolume;
  iso9660_pvd_t pvd;
  if (!iso9660_ifs_read_pvd(handle.Iso, &pvd)) return text::kNoIsoVolume;
  const lsn_t rootLsn = iso9660_get_root_lsn(&pvd);
  if (rootLsn < 0) return text::kNoIsoVolume;
  const TrackFd track(image.TrackPath);
  if (track.Fd < 0) return text::kNoIsoVolume;
  const Directory root{"/", std::uint32_t(rootLsn), from_733(pvd.root_directory_record.size)};
  TreeWalk(track.Fd, image).Walk(root, 0);
  return nullptr;
}

}  // namespace sorvane
