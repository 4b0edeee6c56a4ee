// The ISO 9660 directory tree of a data track, read through libiso9660. The library sizes its
// buffers from the directory records unchecked, so every directory's extent is checked
// against the track before the library is asked to read it, and a directory is read once.
#include <cdio/bytesex.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "common/fixed_texts.h"
#include "disc/disc_image.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kMostDirectoryBytes = 16u << 20;
constexpr int kMostDepth = 64;
constexpr std::size_t kMostFiles = 1u << 17;

// The library's default handler ends the process on errors and prints on standard output.
void QuietLog(cdio_log_level_t, const char*) {}

constexpr int kRecordHead = 33;  // a directory record before its name

// True when every record of a directory's bytes lies inside them with its name, walked as
// the library walks them (a zero length byte is passed over one byte at a time): the library
// copies names by the lengths the records give, unchecked.
bool RecordsSound(const std::vector<std::uint8_t>& bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = bytes[at];
    if (length == 0) {
      ++at;
      continue;
    }
    if (at + length > bytes.size() || length < kRecordHead + 1u ||
        kRecordHead + std::size_t{bytes[at + 32]} > length)
      return false;
    at += length;
  }
  return true;
}

// A name as the library may also match it: in small letters, without version or final dot.
std::string LooseName(std::string name) {
  name = name.substr(0, name.find(';'));
  if (name.ends_with('.')) name.pop_back();
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

struct IsoHandle {
  iso9660_t* Iso = nullptr;
  ~IsoHandle() {
    if (Iso != nullptr) iso9660_close(Iso);
  }
};

struct Directory {
  std::string Path;  // from the root, ending in '/'
  std::uint32_t Lsn = 0;
  std::uint32_t Bytes = 0;
};

class TreeWalk {
 public:
  TreeWalk(iso9660_t* iso, DiscImage& image) : iso_(iso), image_(image) {}

  void Walk(const Directory& dir, int depth) {
    if (depth > kMostDepth || !Admit(dir)) return;
    CdioList_t* list = iso9660_ifs_readdir(iso_, dir.Path.c_str());
    if (list == nullptr) {
      image_.Warnings.push_back(dir.Path + ": " + text::kDirectoryUnreadable);
      return;
    }
    // The library finds a directory by its name, also loosely: where two entries share one,
    // it could read another one's extent than the one checked.
    std::map<std::string, int> names;
    ForEachEntry(list, [&](const iso9660_stat_t& stat) { ++names[LooseName(stat.filename)]; });
    std::vector<Directory> children;
    ForEachEntry(list, [&](const iso9660_stat_t& stat) {
      const std::string name = stat.filename;
      if (stat.type != iso9660_stat_s::_STAT_DIR) {
        if (image_.Files.size() < kMostFiles) AddFile(dir.Path + name, stat);
      } else if (names[LooseName(name)] == 1 && stat.lsn >= 0) {
        children.push_back({dir.Path + name + "/", std::uint32_t(stat.lsn), stat.size});
      }
    });
    iso9660_filelist_free(list);
    for (const Directory& child : children) Walk(child, depth + 1);
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
    // The bytes the library will parse, read through the library itself.
    std::vector<std::uint8_t> bytes(std::size_t(sectors) * 2048);
    if (iso9660_iso_seek_read(iso_, bytes.data(), lsn_t(dir.Lsn), long(sectors)) !=
            long(bytes.size()) ||
        !RecordsSound(bytes)) {
      image_.Warnings.push_back(dir.Path + ": " + text::kDirectoryUnreadable);
      return false;
    }
    return true;
  }

  // Calls `each` for every entry of a listing but "." and "..".
  template <typename Each>
  static void ForEachEntry(CdioList_t* list, Each each) {
    for (CdioListNode_t* node = _cdio_list_begin(list); node != nullptr;
         node = _cdio_list_node_next(node)) {
      const auto* stat = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(node));
      const std::string name = stat->filename;
      if (name != "." && name != ".." && !name.empty()) each(*stat);
    }
  }

  void AddFile(const std::string& path, const iso9660_stat_t& stat) {
    DiscFile file;
    file.Path = path;
    file.FirstSector = std::max<lsn_t>(stat.lsn, 0);
    file.DataLength = stat.size;
    file.SectorCount = static_cast<std::int32_t>((std::int64_t{stat.size} + 2047) / 2048);
    if (stat.b_xa) {
      file.Attributes = uint16_from_be(stat.xa.attributes);
      file.FileNumber = stat.xa.filenum;
    }
    image_.Files.push_back(file);
  }

  iso9660_t* iso_;
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
  // The root's record has room for a name of one byte in the volume descriptor.
  if (rootLsn < 0 || pvd.root_directory_record.filename.len > 1) return text::kNoIsoVolume;
  const Directory root{"/", std::uint32_t(rootLsn), from_733(pvd.root_directory_record.size)};
  TreeWalk(handle.Iso, image).Walk(root, 0);
  return nullptr;
}

}  // namespace sorvane
