#include "support/disc_image_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <stdexcept>

#include "format/little_endian.h"
#include "format/sector.h"
#include "format/sector_codes.h"
#include "support/temp_dir.h"

namespace sorvane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kUserBytes = 2048;
constexpr int kPvdLba = 16, kPathTableL = 18, kPathTableM = 19, kFirstDirectoryLba = 20;
constexpr std::uint8_t kDirectoryFlag = 0x02;
constexpr std::uint8_t kSubmodeEor = 0x01;                                       // end of record
constexpr std::uint8_t kEndOfExtent = kSubmodeEof | kSubmodeData | kSubmodeEor;  // 0x89

// A big-endian field of `bytes` bytes.
void PutBe(std::uint8_t* at, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) at[i] = static_cast<std::uint8_t>(v);
}
// A both-byte-order field: little-endian, then big-endian.
void PutBoth(std::uint8_t* at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
  PutBe(at + bytes, v, bytes);
}
void PutText(std::uint8_t* at, const std::string& text) {
  std::memcpy(at, text.data(), text.size());
}

// A Form 1 sector from its subheader on: user bytes (or zeros) after subheader 00 00 sm 00.
Bytes Form1(std::uint8_t submode, const std::uint8_t* user = nullptr) {
  Bytes s(kSectorBytes, 0);
  s[2] = s[6] = submode;
  if (user) std::memcpy(s.data() + kSubheaderBytes, user, kUserBytes);
  return s;
}

std::string Msf(int sectors) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / 4500, sectors / 75 % 60,
                sectors % 75);
  return text;
}

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>(value / 10 * 16 + value % 10); }

// One directory record: 33 fixed bytes, the name padded to an even length, the XA field.
struct Record {
  std::string name;
  std::uint32_t lba = 0, length = 0;
  std::uint8_t flags = 0;
  std::uint16_t attributes = kXaData;
  std::uint8_t fileNumber = 0;
};

Bytes RecordBytes(const Record& r, bool withXa = true) {
  const std::size_t nameEnd = 33 + r.name.size() + (r.name.size() % 2 == 0 ? 1 : 0);
  Bytes b(nameEnd + (withXa ? 14 : 0), 0);
  b[0] = static_cast<std::uint8_t>(b.size());
  PutBoth(&b[2], r.lba, 4);
  PutBoth(&b[10], r.length, 4);
  const std::uint8_t date[7] = {126, 1, 1, 12, 0, 0, 0};  // 2026-01-01 12:00 UTC
  std::memcpy(&b[18], date, 7);
  b[25] = r.flags;
  PutBoth(&b[28], 1, 2);  // volume sequence number
  b[32] = static_cast<std::uint8_t>(r.name.size());
  PutText(&b[33], r.name);
  if (withXa) {  // owner group and user 0, attributes, "XA", file number, 5 zero bytes
    PutBe(&b[nameEnd + 4], r.attributes, 2);
    PutText(&b[nameEnd + 6], "XA");
    b[nameEnd + 8] = r.fileNumber;
  }
  return b;
}

// Records packed into 2048-byte sectors; none crosses a sector's end.
std::vector<Bytes> PackRecords(const std::vector<Record>& records) {
  std::vector<Bytes> sectors(1);
  for (const Record& r : records) {
    const Bytes b = RecordBytes(r);
    if (sectors.back().size() + b.size() > kUserBytes) sectors.emplace_back();
    sectors.back().insert(sectors.back().end(), b.begin(), b.end());
  }
  for (Bytes& s : sectors) s.resize(kUserBytes, 0);
  return sectors;
}

struct Directory {
  std::string path, name;
  int parent = 0;
  int lba = 0, sectors = 1;
};

std::string ParentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}
std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

// The layout of one image: the tree, the places, the sectors' payloads, then their bytes.
class DiscLayout {
 public:
  explicit DiscLayout(const DiscImageBuilder& b) : files_(b.files_), b_(b) {}

  DiscImage Make() {
    MakeDirectories();
    PlaceDirectories();
    PlaceFiles();
    payloads_.assign(image_.dataTrackSectors, Form1(0));
    for (int i = 0; i < kPvdLba; ++i) payloads_[i] = Form1(kSubmodeData);
    WriteDirectories();
    WritePathTables();
    WriteVolumeDescriptors();
    WriteFiles();
    Encode();
    WriteCddaAndCue();
    if (b_.truncate_) image_.bin.resize(std::min(*b_.truncate_, image_.bin.size()));
    return std::move(image_);
  }

 private:
  // Every directory a path names, in path table order: by level, then by parent, then name.
  void MakeDirectories() {
    std::set<std::string> paths;
    for (const DiscFile& f : files_)
      for (std::string p = ParentOf(f.path); !p.empty(); p = ParentOf(p)) paths.insert(p);
    dirs_.push_back({"", std::string(1, '\0'), 0});
    for (std::size_t next = 0; next < dirs_.size(); ++next) {
      const std::string parent = dirs_[next].path;
      std::vector<std::string> children;
      for (const std::string& p : paths)
        if (ParentOf(p) == parent) children.push_back(p);
      std::sort(children.begin(), children.end(),
                [](const auto& x, const auto& y) { return NameOf(x) < NameOf(y); });
      for (const std::string& c : children) dirs_.push_back({c, NameOf(c), int(next)});
    }
  }

  std::vector<Record> RecordsOf(int d) {
    const Directory& dir = dirs_[d];
    const Directory& parent = dirs_[dir.parent];
    std::vector<Record> children;
    for (std::size_t i = 1; i < dirs_.size(); ++i) {
      const Directory& sub = dirs_[i];
      if (ParentOf(sub.path) == dir.path)
        children.push_back(Damaged(
            sub.path, {sub.name, Lba(sub.lba), Size(sub.sectors), kDirectoryFlag, kXaDirectory}));
    }
    for (std::size_t i = 0; i < files_.size(); ++i)
      if (ParentOf(files_[i].path) == dir.path) children.push_back(FileRecord(i));
    if (std::count(b_.loops_.begin(), b_.loops_.end(), dir.path))
      children.push_back({"LOOP", Lba(dir.lba), Size(dir.sectors), kDirectoryFlag, kXaDirectory});
    std::sort(children.begin(), children.end(),
              [](const Record& x, const Record& y) { return x.name < y.name; });
    children.insert(children.begin(), {{std::string(1, '\0'), Lba(dir.lba), Size(dir.sectors),
                                        kDirectoryFlag, kXaDirectory},
                                       {std::string(1, '\1'), Lba(parent.lba), Size(parent.sectors),
                                        kDirectoryFlag, kXaDirectory}});
    return children;
  }

  Record FileRecord(std::size_t i) {
    const DiscFile& f = files_[i];
    const PlacedExtent& placed = image_.files.empty() ? PlacedExtent{} : image_.files[i];
    return Damaged(f.path, {NameOf(f.path) + ";1", Lba(placed.lba), placed.dataLength, 0,
                            f.attributes, f.fileNumber});
  }

  // The record as damage makes it say.
  Record Damaged(const std::string& path, Record r) {
    for (const auto& o : b_.overrides_) {
      if (o.path != path) continue;
      if (o.lba) r.lba = *o.lba;
      if (o.dataLength) r.length = *o.dataLength;
    }
    return r;
  }

  static std::uint32_t Lba(int lba) { return static_cast<std::uint32_t>(lba); }
  static std::uint32_t Size(int sectors) { return static_cast<std::uint32_t>(sectors) * 2048; }

  void PlaceDirectories() {
    int next = kFirstDirectoryLba;
    for (std::size_t d = 0; d < dirs_.size(); ++d) {
      dirs_[d].sectors = static_cast<int>(PackRecords(RecordsOf(static_cast<int>(d))).size());
      dirs_[d].lba = next;
      next += dirs_[d].sectors;
      image_.directories.push_back(
          {dirs_[d].path, dirs_[d].lba, dirs_[d].sectors, Size(dirs_[d].sectors)});
    }
    image_.dataTrackSectors = next;
  }

  // Data files at their chosen or the next free sector; then files on the CD-DA track.
  void PlaceFiles() {
    int nextFree = image_.dataTrackSectors;
    for (const DiscFile& f : files_) {
      PlacedExtent p{f.path, f.lba.value_or(nextFree), static_cast<int>(f.sectors.size())};
      if (!f.onCddaTrack) nextFree = std::max(nextFree, p.lba + p.sectors);
      image_.files.push_back(p);
    }
    image_.dataTrackSectors = nextFree;
    if (b_.cddaSectors_ > 0) image_.cddaLba = nextFree + b_.cddaPregap_;
    for (std::size_t i = 0; i < files_.size(); ++i) {
      PlacedExtent& p = image_.files[i];
      if (files_[i].onCddaTrack) p.lba = image_.cddaLba, p.sectors = b_.cddaSectors_;
      p.dataLength = files_[i].dataLength.value_or(Size(p.sectors));
    }
  }

  void WriteDirectories() {
    for (std::size_t d = 0; d < dirs_.size(); ++d) {
      const std::vector<Bytes> sectors = PackRecords(RecordsOf(static_cast<int>(d)));
      for (std::size_t s = 0; s < sectors.size(); ++s) {
        const bool last = s + 1 == sectors.size();
        payloads_[dirs_[d].lba + s] = Form1(last ? kEndOfExtent : kSubmodeData, sectors[s].data());
      }
    }
  }

  void WritePathTables() {
    Bytes little, big;
    for (const Directory& dir : dirs_) {
      Bytes entry(8 + dir.name.size() + dir.name.size() % 2, 0);
      entry[0] = static_cast<std::uint8_t>(dir.name.size());
      PutText(&entry[8], dir.name);
      Bytes be = entry;
      PutLe32(&entry[2], Lba(dir.lba));
      PutBe(&be[2], Lba(dir.lba), 4);
      PutLe16(&entry[6], static_cast<std::uint16_t>(dir.parent + 1));
      PutBe(&be[6], dir.parent + 1, 2);
      little.insert(little.end(), entry.begin(), entry.end());
      big.insert(big.end(), be.begin(), be.end());
    }
    if (little.size() > kUserBytes) throw std::logic_error("path table over one sector");
    pathTableBytes_ = static_cast<std::uint32_t>(little.size());
    little.resize(kUserBytes), big.resize(kUserBytes);
    payloads_[kPathTableL] = Form1(kEndOfExtent, little.data());
    payloads_[kPathTableM] = Form1(kEndOfExtent, big.data());
  }

  void WriteVolumeDescriptors() {
    Bytes pvd(kUserBytes, 0);
    pvd[0] = 1, pvd[6] = 1, pvd[881] = 1;
    PutText(&pvd[1], "CD001");
    std::fill(&pvd[8], &pvd[72], ' ');
    std::fill(&pvd[190], &pvd[813], ' ');
    PutText(&pvd[8], "PLAYSTATION");
    PutText(&pvd[40], "SORVANE_TEST");
    PutBoth(&pvd[80], Lba(image_.dataTrackSectors), 4);
    PutBoth(&pvd[120], 1, 2);  // volume set size
    PutBoth(&pvd[124], 1, 2);  // volume sequence number
    PutBoth(&pvd[128], kUserBytes, 2);
    PutBoth(&pvd[132], pathTableBytes_, 4);
    PutLe32(&pvd[140], kPathTableL);
    PutBe(&pvd[148], kPathTableM, 4);
    const Bytes root = RecordBytes(Damaged("", {std::string(1, '\0'), Lba(dirs_[0].lba),
                                                Size(dirs_[0].sectors), kDirectoryFlag}),
                                   false);
    std::copy(root.begin(), root.end(), &pvd[156]);
    for (int date = 813; date < 881; date += 17) std::fill(&pvd[date], &pvd[date + 16], '0');
    PutText(&pvd[1024], "CD-XA001");
    payloads_[kPvdLba] = Form1(kSubmodeData | kSubmodeEor, pvd.data());
    Bytes end(kUserBytes, 0);
    end[0] = 255, end[6] = 1;
    PutText(&end[1], "CD001");
    payloads_[kPvdLba + 1] = Form1(kEndOfExtent, end.data());
  }

  void WriteFiles() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const auto& sectors = files_[i].sectors;
      for (std::size_t s = 0; s < sectors.size() && !files_[i].onCddaTrack; ++s) {
        if (sectors[s].size() != kSectorBytes) throw std::logic_error("sector not 2336 bytes");
        payloads_.at(image_.files[i].lba + s) = sectors[s];
      }
    }
  }

  void Encode() {
    const bool iso = b_.mode_ == DiscMode::Iso2048;
    image_.bin.reserve(payloads_.size() * (iso ? kUserBytes : kRawSectorBytes));
    for (std::size_t lba = 0; lba < payloads_.size(); ++lba) {
      Bytes& p = payloads_[lba];
      if (iso) {
        image_.bin.append(reinterpret_cast<const char*>(p.data()) + kSubheaderBytes, kUserBytes);
        continue;
      }
      Bytes raw(kRawSectorBytes, 0);
      std::fill(&raw[1], &raw[11], 0xFF);
      const int address = static_cast<int>(lba) + 150;
      raw[12] = Bcd(address / 4500), raw[13] = Bcd(address / 75 % 60), raw[14] = Bcd(address % 75);
      if (b_.mode_ == DiscMode::Mode1) {
        raw[15] = 1;
        std::memcpy(&raw[16], &p[kSubheaderBytes], kUserBytes);
        PutLe32(&raw[2064], SectorEdc(raw.data(), 2064));
      } else {
        raw[15] = 2;
        std::memcpy(&raw[16], p.data(), kSectorBytes);
        const bool form2 = raw[18] & kSubmodeForm2;
        if (form2 && b_.zeroForm2Edc_)
          PutLe32(&raw[16 + kForm2EdcOffset], 0);
        else
          SetSectorCodes(&raw[16]);
      }
      image_.bin.append(raw.begin(), raw.end());
    }
  }

  void WriteCddaAndCue() {
    image_.binName = b_.binName_, image_.cueName = b_.cueName_;
    const char* trackModes[] = {"MODE2/2352", "MODE1/2352", "MODE1/2048"};  // by DiscMode
    image_.cue = "FILE \"" + b_.binName_ + "\" BINARY\n  TRACK 01 " +
                 trackModes[static_cast<int>(b_.mode_)] + "\n    INDEX 01 00:00:00\n";
    if (b_.cddaSectors_ == 0) return;
    std::string* track = &image_.bin;
    int start = image_.dataTrackSectors;
    if (b_.cddaSecondBin_) {
      track = &image_.audioBin, start = 0, image_.audioBinName = b_.audioBinName_;
      image_.cue += "FILE \"" + b_.audioBinName_ + "\" BINARY\n";
    }
    image_.cue += "  TRACK 02 AUDIO\n";
    if (b_.cddaPregap_ > 0) image_.cue += "    INDEX 00 " + Msf(start) + "\n";
    image_.cue += "    INDEX 01 " + Msf(start + b_.cddaPregap_) + "\n";
    track->append(std::size_t(b_.cddaPregap_) * kRawSectorBytes, '\0');
    for (long long i = 0; i < 1LL * b_.cddaSectors_ * kRawSectorBytes; ++i)
      track->push_back(static_cast<char>(i * 7 + i / kRawSectorBytes));
  }

  const std::vector<DiscFile>& files_;
  const DiscImageBuilder& b_;
  DiscImage image_;
  std::vector<Directory> dirs_;
  std::vector<Bytes> payloads_;
  std::uint32_t pathTableBytes_ = 0;
};

const PlacedExtent& DiscImage::File(const std::string& path) const {
  for (const PlacedExtent& f : files)
    if (f.path == path) return f;
  throw std::out_of_range("no file " + path);
}

std::string DiscImage::Write(const std::string& folder) const {
  WriteFileBytes(folder + "/" + binName, bin);
  if (!audioBinName.empty()) WriteFileBytes(folder + "/" + audioBinName, audioBin);
  WriteFileBytes(folder + "/" + cueName, cue);
  return folder + "/" + cueName;
}

DiscImageBuilder& DiscImageBuilder::Add(DiscFile file) {
  files_.push_back(std::move(file));
  return *this;
}

DiscImageBuilder& DiscImageBuilder::Mode(DiscMode mode) {
  mode_ = mode;
  return *this;
}

DiscImageBuilder& DiscImageBuilder::ZeroForm2Edc() {
  zeroForm2Edc_ = true;
  return *this;
}

DiscImageBuilder& DiscImageBuilder::CddaTrack(int sectors, bool secondBin, int pregap) {
  cddaSectors_ = sectors, cddaSecondBin_ = secondBin, cddaPregap_ = pregap;
  return *this;
}

DiscImageBuilder& DiscImageBuilder::Names(std::string bin, std::string audioBin, std::string cue) {
  binName_ = std::move(bin), audioBinName_ = std::move(audioBin), cueName_ = std::move(cue);
  return *this;
}

DiscImageBuilder& DiscImageBuilder::OverrideRecord(const std::string& path,
                                                   std::optional<std::uint32_t> lba,
                                                   std::optional<std::uint32_t> dataLength) {
  overrides_.push_back({path, lba, dataLength});
  return *this;
}

DiscImageBuilder& DiscImageBuilder::LoopDirectory(const std::string& path) {
  loops_.push_back(path);
  return *this;
}

DiscImageBuilder& DiscImageBuilder::Truncate(std::size_t bytes) {
  truncate_ = bytes;
  return *this;
}

DiscImage DiscImageBuilder::Build() const { return DiscLayout(*this).Make(); }

std::vector<std::vector<std::uint8_t>> SplitSectors(const std::string& plain2336) {
  std::vector<Bytes> sectors;
  for (std::size_t at = 0; at + kSectorBytes <= plain2336.size(); at += kSectorBytes)
    sectors.emplace_back(plain2336.begin() + at, plain2336.begin() + at + kSectorBytes);
  return sectors;
}

std::vector<std::vector<std::uint8_t>> DataSectors(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<Bytes> sectors;
  Bytes user(kUserBytes);
  for (int i = 0; i < count; ++i) {
    for (auto& b : user) b = static_cast<std::uint8_t>(random());
    sectors.push_back(Form1(i + 1 == count ? kEndOfExtent : kSubmodeData, user.data()));
  }
  return sectors;
}

}  // namespace sorvane::testing
