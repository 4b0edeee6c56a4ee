#include "disc/disc_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "common/fixed_texts.h"
#include "disc/cue_sheet.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

constexpr std::int64_t kRawSector = 2352;
constexpr std::int32_t kSystemSectors = 16;
constexpr std::int64_t kIsoSignatureAt = 32769;  // "CD001" of a 2048-byte image's sector 16
constexpr std::size_t kCueSheetMost = 1 << 20;   // larger files are not read as CUE sheets
constexpr int kMostDescriptors = 64;

class ReadFd {
 public:
  explicit ReadFd(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReadFd(const ReadFd&) = delete;
  ReadFd& operator=(const ReadFd&) = delete;
  bool Open() const { return fd_ >= 0; }
  bool Read(std::int64_t at, void* data, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::pread(fd_, static_cast<char*>(data) + done, size - done, at + done);
      if (n <= 0) return false;
      done += std::size_t(n);
    }
    return true;
  }
  std::int64_t Size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : -1;
  }

 private:
  int fd_;
};

// The 2048 user bytes of a Mode 2 Form 1 sector (behind sync, header and subheader).
bool ReadUserData(const ReadFd& fd, std::int32_t sector, std::uint8_t* out) {
  return fd.Read(sector * kRawSector + 24, out, 2048);
}

bool IsVolumeDescriptor(const std::uint8_t* data) { return std::memcmp(data + 1, "CD001", 5) == 0; }

ImageKind SniffRaw(const ReadFd& fd) {
  std::uint8_t sector[kRawSector];
  if (!fd.Read(kSystemSectors * kRawSector, sector, sizeof sector)) return ImageKind::None;
  static constexpr std::uint8_t kSync[12] = {0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  if (std::memcmp(sector, kSync, sizeof kSync) != 0) return ImageKind::None;
  if (sector[15] == 2 && sector[24] == 1 && IsVolumeDescriptor(sector + 24))
    return ImageKind::Raw2352;
  if (sector[15] == 1 && sector[16] == 1 && IsVolumeDescriptor(sector + 16))
    return ImageKind::RawMode1;
  return ImageKind::None;
}

// The whole file as text when it is small and its first bytes hold no NUL byte, as a CUE
// sheet's do; else nothing, after one small read.
std::string ReadSmallText(const ReadFd& fd) {
  const std::int64_t size = fd.Size();
  if (size <= 0 || std::size_t(size) > kCueSheetMost) return {};
  std::string text(std::min<std::size_t>(std::size_t(size), 4096), '\0');
  if (!fd.Read(0, text.data(), text.size()) || text.find('\0') != std::string::npos) return {};
  text.resize(std::size_t(size));
  return fd.Read(0, text.data(), text.size()) ? text : std::string();
}

// What a raw data track file says of itself, as a reason not to read it.
const char* RefuseTrackFile(ImageKind kind) {
  switch (kind) {
    case ImageKind::Raw2352:
      return nullptr;
    case ImageKind::Iso2048:
      return text::kIso2048Image;
    case ImageKind::RawMode1:
      return text::kUnsupportedTrack;
    case ImageKind::None:
    case ImageKind::CueSheet:
      break;
  }
  return text::kNoIsoVolume;
}

// The data track of a CUE sheet: track 1, Mode 2 raw sectors from byte 0 of its file; CD-DA
// tracks that follow it in the same file are reserved.
const char* ReadCueTracks(const std::string& cuePath, const std::string& sheet, DiscImage& image) {
  const std::vector<CueTrack> tracks = ParseCueSheet(sheet);
  if (tracks.empty() || tracks[0].Number != 1) return text::kUnsupportedTrack;
  const CueTrack& data = tracks[0];
  if (data.Type.ends_with("/2048")) return text::kIso2048Image;
  if (data.Type != "MODE2/2352" || data.Index1 != 0 || data.Index0 > 0)
    return text::kUnsupportedTrack;
  const std::filesystem::path file =
      std::filesystem::path(cuePath).parent_path() / std::filesystem::path(data.File);
  std::error_code error;
  if (data.File.empty() || !std::filesystem::is_regular_file(file, error))
    return text::kCueImageMissing;
  image.TrackPath = file.string();
  const ReadFd fd(image.TrackPath);
  const std::int64_t sectors = fd.Size() / kRawSector;
  image.TrackSectors = static_cast<std::int32_t>(std::clamp<std::int64_t>(sectors, 0, INT32_MAX));
  for (std::size_t i = 1; i < tracks.size(); ++i) {
    if (tracks[i].File != data.File) continue;
    const std::int32_t start = tracks[i].Index0 >= 0 ? tracks[i].Index0 : tracks[i].Index1;
    if (start < 0) continue;
    image.TrackSectors = std::min(image.TrackSectors, start);
    const std::int32_t end = static_cast<std::int32_t>(std::min<std::int64_t>(sectors, INT32_MAX));
    if (end > start) image.Reserved.push_back({start, end - start});
  }
  return nullptr;
}

// Sectors of a table of `bytes` bytes from `first`, when it lies inside the track.
void ReserveTable(DiscImage& image, std::uint32_t first, std::uint32_t bytes) {
  if (first == 0 || first >= std::uint32_t(image.TrackSectors)) return;
  const std::int64_t count = (std::int64_t{bytes} + 2047) / 2048;
  image.Reserved.push_back(
      {std::int32_t(first), std::int32_t(std::min<std::int64_t>(count, image.TrackSectors))});
}

std::uint32_t GetBe32(const std::uint8_t* at) {
  return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
         at[3];
}

// The system area, the volume descriptors up to their terminator, and the path tables.
const char* ReserveSystemSectors(DiscImage& image) {
  const ReadFd fd(image.TrackPath);
  image.Reserved.push_back({0, kSystemSectors});
  std::uint8_t data[2048];
  int count = 0;
  while (count < kMostDescriptors && ReadUserData(fd, kSystemSectors + count, data) &&
         IsVolumeDescriptor(data)) {
    ++count;
    if (data[0] == 1) {
      const std::uint32_t tableBytes = GetLe32(data + 132);
      ReserveTable(image, GetLe32(data + 140), tableBytes);
      ReserveTable(image, GetLe32(data + 144), tableBytes);
      ReserveTable(image, GetBe32(data + 148), tableBytes);
      ReserveTable(image, GetBe32(data + 152), tableBytes);
    }
    if (data[0] == 255) break;
  }
  if (count == 0) return text::kNoIsoVolume;
  image.Reserved.push_back({kSystemSectors, count});
  return nullptr;
}

// Cuts each file's sector count where it would run into the next file's extent or a reserved
// range, and says so.
void CutAtNextExtent(DiscImage& image) {
  std::vector<std::int32_t> starts;
  for (const DiscFile& f : image.Files)
    if (f.SectorCount > 0) starts.push_back(f.FirstSector);
  for (const SectorRange& r : image.Reserved) starts.push_back(r.First);
  std::sort(starts.begin(), starts.end());
  for (DiscFile& f : image.Files) {
    const auto next = std::upper_bound(starts.begin(), starts.end(), f.FirstSector);
    if (next == starts.end() || std::int64_t{f.FirstSector} + f.SectorCount <= *next) continue;
    f.SectorCount = *next - f.FirstSector;
    f.Cut = true;
    image.Warnings.push_back(f.Path + ": " + text::kExtentCut);
  }
}

}  // namespace

ImageKind SniffImage(const std::string& path) {
  const ReadFd fd(path);
  if (!fd.Open() || fd.Size() < 0) return ImageKind::None;
  const ImageKind raw = SniffRaw(fd);
  if (raw != ImageKind::None) return raw;
  std::uint8_t signature[5];
  if (fd.Read(kIsoSignatureAt, signature, 5) && std::memcmp(signature, "CD001", 5) == 0)
    return ImageKind::Iso2048;
  return LooksLikeCueSheet(ReadSmallText(fd)) ? ImageKind::CueSheet : ImageKind::None;
}

const char* FindDataTrack(const std::string& path, DiscImage& image) {
  image = DiscImage{};
  const ImageKind kind = SniffImage(path);
  if (kind == ImageKind::CueSheet) {
    if (const char* refused = ReadCueTracks(path, ReadSmallText(ReadFd(path)), image))
      return refused;
    return RefuseTrackFile(SniffImage(image.TrackPath));
  }
  if (const char* refused = RefuseTrackFile(kind)) return refused;
  image.TrackPath = path;
  const std::int64_t sectors = ReadFd(path).Size() / kRawSector;
  image.TrackSectors = static_cast<std::int32_t>(std::min<std::int64_t>(sectors, INT32_MAX));
  return nullptr;
}

const char* ReadDiscImage(const std::string& path, DiscImage& image) {
  if (const char* refused = FindDataTrack(path, image)) return refused;
  if (const char* refused = ReserveSystemSectors(image)) return refused;
  if (const char* refused = ReadIsoTree(image)) return refused;
  CutAtNextExtent(image);
  return nullptr;
}

}  // namespace sorvane
