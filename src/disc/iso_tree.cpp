// The ISO 9660 directory tree of a data track, read through libiso9660. The library sizes its
// buffers from the directory records unchecked, so every directory's extent is checked
// against the track before the library is asked to read it, and a directory is read once.
#include <cdio/bytesex.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <set>

#include "common/fixed_texts.h"
#include "disc/disc_image.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kMostDirectoryBytes = 16u << 20;
constexpr int kMostDepth = 64;
constexpr std::size_t kMostFiles = 1u << 17;

// The library's default handler ends the process on errors and prints on standard output.
void QuietLog(cdio_log_level_t, const char*) {}

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
    std::vector<Directory> children;
    std::set<std::string> names;
    for (CdioListNode_t* node = _cdio_list_begin(list); node != nullptr;
         node = _cdio_list_node_next(node)) {
      const auto* stat = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(node));
      const std::string name = stat->filename;
      if (name == "." || name == ".." || name.empty()) continue;
      const bool repeated = !names.insert(name).second;
      if (stat->type == iso9660_stat_s::_STAT_DIR) {
        // The library finds a directory by its name: a second one of that name would be
        // read from the first one's extent.
        if (!repeated && stat->lsn >= 0)
          children.push_back({dir.Path + name + "/", std::uint32_t(stat->lsn), stat->size});
      } else if (image_.Files.size() < kMostFiles) {
        AddFile(dir.Path + name, *stat);
      }
    }
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
    return true;
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
  if (rootLsn < 0) return text::kNoIsoVolume;
  const Directory root{"/", std::uint32_t(rootLsn), from_733(pvd.root_directory_record.size)};
  TreeWalk(handle.Iso, image).Walk(root, 0);
  return nullptr;
}

}  // namespace sorvane
