#include "container/journal_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "container/journal_entry.h"

namespace sorvane::journal {
namespace {

constexpr char kNoteName[] = "file";
constexpr char kIndexName[] = "index";
constexpr char kCleanedStamp[] = ".cleaned";
constexpr std::int64_t kDay = 24 * 60 * 60;
constexpr std::int64_t kGoneDays = 30;

// What a folder's note says of its file.
struct FolderNote {
  std::uint64_t Inode = 0;
  bool HasGeneration = false;
  std::uint64_t Generation = 0;
  std::int64_t BornNs = 0;
  std::string Mount;
  std::string Path;
};

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
  return text;
}

// FNV-1a: a stable name for a path, whatever the build.
std::uint64_t PathHash(const std::string& path) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const unsigned char c : path) h = (h ^ c) * 0x100000001b3ull;
  return h;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The topmost folder above `path` on the same volume: where that volume is mounted.
std::string MountPointOf(const std::string& path) {
  std::string at = Parent(path);
  struct stat st {};
  if (::stat(at.c_str(), &st) != 0) return "/";
  while (at != "/") {
    struct stat up {};
    const std::string parent = Parent(at);
    if (::stat(parent.c_str(), &up) != 0 || up.st_dev != st.st_dev) break;
    at = parent;
  }
  return at;
}

bool IsMounted(const std::string& mount) {
  if (mount == "/") return true;
  struct stat st {
  }, up{};
  return ::stat(mount.c_str(), &st) == 0 && ::stat(Parent(mount).c_str(), &up) == 0 &&
         st.st_dev != up.st_dev;
}

bool ReadNote(const std::string& folder, FolderNote& note) {
  std::ifstream in(folder + "/" + kNoteName);
  std::string word, generation;
  if (!(in >> word >> note.Inode >> word >> generation >> word >> note.BornNs >> word) ||
      !std::getline(in >> std::ws, note.Mount) || !(in >> word) ||
      !std::getline(in >> std::ws, note.Path))
    return false;
  note.HasGeneration = generation != "-";
  note.Generation = note.HasGeneration ? std::strtoull(generation.c_str(), nullptr, 10) : 0;
  return true;
}

bool WriteNote(FileIo& io, const std::string& folder, const FolderNote& note) {
  std::ostringstream text;
  text << "inode " << note.Inode << "\ngeneration "
       << (note.HasGeneration ? std::to_string(note.Generation) : "-") << "\nborn " << note.BornNs
       << "\nmount " << note.Mount << "\npath " << note.Path << "\n";
  const std::string bytes = text.str();
  const std::string fresh = folder + "/" + kNoteName + ".new";
  const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteAllAt(io, fd, 0, bytes.data(), bytes.size()) && io.Sync(fd) == 0;
  ::close(fd);
  return written && ::rename(fresh.c_str(), (folder + "/" + kNoteName).c_str()) == 0;
}

bool Fits(const FolderNote& note, const XaFileStat& st) {
  return note.Inode == st.Inode &&
         (!note.HasGeneration || !st.HasGeneration || note.Generation == st.Generation) &&
         (note.BornNs == 0 || st.BornNs == 0 || note.BornNs == st.BornNs);
}

std::string IndexLink(const std::string& root, const std::string& path, std::uint64_t inode) {
  char name[48];
  std::snprintf(name, sizeof name, "/%016llx-", static_cast<unsigned long long>(PathHash(path)));
  return root + "/" + kIndexName + name + Hex(inode);
}

// Points the index link at `folder` (a name in the root), replacing what it held.
bool Link(FileIo& io, const std::string& root, const std::string& link, const std::string& folder) {
  if (!MakeFolders(root + "/" + kIndexName)) return false;
  const std::string fresh = link + ".new";
  ::unlink(fresh.c_str());
  const std::string name = "../" + folder.substr(folder.find_last_of('/') + 1);
  return ::symlink(name.c_str(), fresh.c_str()) == 0 &&
         ::rename(fresh.c_str(), link.c_str()) == 0 && SyncFolder(io, root + "/" + kIndexName);
}

std::vector<std::string> SubFolders(const std::string& root) {
  std::vector<std::string> folders;
  DIR* dir = ::opendir(root.c_str());
  if (dir == nullptr) return folders;
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (name == "." || name == ".." || name == kIndexName) continue;
    if (IsFolder(root + "/" + name)) folders.push_back(root + "/" + name);
  }
  ::closedir(dir);
  return folders;
}

std::int64_t ModifiedSeconds(const std::string& path, std::int64_t* size = nullptr) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  if (size != nullptr) *size = st.st_size;
  return st.st_mtim.tv_sec;
}

}  // namespace

std::string FindFolder(const std::string& root, const XaFile& xa, const XaFileStat& st,
                       bool settle) {
  const std::string key = root + "/" + Hex(st.Device) + "-" + Hex(st.Inode);
  if (IsFolder(key)) return key;
  const std::string path = RealPath(xa.Path);
  const std::string link = IndexLink(root, path, st.Inode);
  char target[PATH_MAX];
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
  if (n <= 0) return key;
  const std::string name(target, std::size_t(n));
  const std::string found = root + "/" + name.substr(name.find_last_of('/') + 1);
  FolderNote note;
  if (!ReadNote(found, note) || !Fits(note, st) || note.Path != path) return key;
  if (!settle) return found;
  if (::rename(found.c_str(), key.c_str()) != 0) return found;
  SyncFolder(*xa.Io, root);
  Link(*xa.Io, root, link, key);
  return key;
}

bool PrepareFolder(const std::string& root, const std::string& folder, const XaFile& xa,
                   const XaFileStat& st, FileIo& io) {
  bool created = false;
  if (!MakeFolders(folder, &created) || (created && !SyncFolder(io, root))) return false;
  const std::string path = RealPath(xa.Path);
  FolderNote note;
  if (ReadNote(folder, note) && note.Path == path && Fits(note, st)) return true;
  note = {st.Inode, st.HasGeneration, st.Generation, st.BornNs, MountPointOf(path), path};
  return WriteNote(io, folder, note) && SyncFolder(io, folder) &&
         Link(io, root, IndexLink(root, path, st.Inode), folder);
}

void SetFolderAside(const std::string& folder) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::string aside =
      folder + "~" + Hex(std::uint64_t(now.tv_sec) * 1000000000ull + std::uint64_t(now.tv_nsec));
  ::rename(folder.c_str(), aside.c_str());
}

std::int64_t JournalLimit() {
  const char* text = std::getenv("SORVANE_UNDO_MAX");
  const long long limit = text != nullptr ? std::strtoll(text, nullptr, 10) : 0;
  return limit > 0 ? limit : std::int64_t{8} << 30;
}

namespace {

// One entry of the whole journal, as the cap weighs it.
struct Kept {
  std::string Path;
  std::int64_t Size = 0;
  std::int64_t Modified = 0;
  bool Partial = false;
};

std::vector<Kept> FolderEntries(const std::string& folder, std::int64_t& total) {
  std::vector<Kept> kept;
  for (const EntryName& e : ListFolder(folder)) {
    Kept k{EntryPath(folder, e)};
    k.Modified = ModifiedSeconds(k.Path, &k.Size);
    k.Partial = e.Partial;
    total += k.Size;
    kept.push_back(k);
  }
  return kept;
}

bool Removable(const Kept& k) {
  EntryHeader h;
  return !k.Partial && CheckHeaderAt(k.Path, h) == EntryCheck::Whole &&
         h.State == EntryState::Closed;
}

// Whether every entry of the folder is closed, so that nothing waits to be completed there.
bool AllClosed(const std::string& folder) {
  for (const EntryName& e : ListFolder(folder)) {
    EntryHeader h;
    const EntryCheck check = CheckHeaderAt(EntryPath(folder, e), h);
    if (e.Partial || (check == EntryCheck::Whole && h.State != EntryState::Closed) ||
        check == EntryCheck::Unreadable)
      return false;
  }
  return true;
}

void RemoveFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (name != "." && name != "..") ::unlink((folder + "/" + name).c_str());
  }
  ::closedir(dir);
  ::rmdir(folder.c_str());
}

// Index links whose folder is gone.
void DropDanglingLinks(const std::string& root) {
  const std::string index = root + "/" + kIndexName;
  DIR* dir = ::opendir(index.c_str());
  if (dir == nullptr) return;
  while (const dirent* d = ::readdir(dir)) {
    const std::string link = index + "/" + d->d_name;
    struct stat st {};
    if (d->d_name[0] != '.' && ::stat(link.c_str(), &st) != 0 && errno == ENOENT)
      ::unlink(link.c_str());
  }
  ::closedir(dir);
}

bool Gone(const std::string& folder, std::int64_t now) {
  FolderNote note;
  struct stat st {};
  if (!ReadNote(folder, note) || ::stat(note.Path.c_str(), &st) == 0 || errno != ENOENT ||
      !IsMounted(note.Mount))
    return false;
  std::int64_t used = ModifiedSeconds(folder);
  for (const EntryName& e : ListFolder(folder))
    used = std::max(used, ModifiedSeconds(EntryPath(folder, e)));
  return now - used >= kGoneDays * kDay && AllClosed(folder);
}

}  // namespace

void CapJournal(const std::string& root, const std::string& current, std::int64_t limit) {
  std::int64_t total = 0;
  std::vector<std::vector<Kept>> folders;
  std::vector<std::size_t> next;
  std::vector<bool> isCurrent;
  for (const std::string& folder : SubFolders(root)) {
    folders.push_back(FolderEntries(folder, total));
    next.push_back(0);
    isCurrent.push_back(folder == current);
  }
  while (total > limit) {
    // The oldest entry at the bottom of any file's history; the current file keeps its newest.
    std::size_t pick = folders.size();
    for (std::size_t f = 0; f < folders.size(); ++f) {
      const std::size_t left = folders[f].size() - next[f];
      if (left == 0 || (isCurrent[f] && left == 1)) continue;
      if (pick == folders.size() ||
          folders[f][next[f]].Modified < folders[pick][next[pick]].Modified)
        pick = f;
    }
    if (pick == folders.size()) return;
    const Kept& k = folders[pick][next[pick]];
    if (!Removable(k)) {
      next[pick] = folders[pick].size();  // what is newer than an open entry stays with it
      continue;
    }
    ::unlink(k.Path.c_str());
    total -= k.Size;
    ++next[pick];
  }
}

void RemoveGoneFolders(const std::string& root, std::int64_t now) {
  const std::string stamp = root + "/" + kCleanedStamp;
  struct stat st {};
  if (::stat(stamp.c_str(), &st) == 0 && now - st.st_mtim.tv_sec < kDay) return;
  const int fd = ::open(stamp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  ::futimens(fd, nullptr);
  ::close(fd);
  for (const std::string& folder : SubFolders(root)) {
    if (Gone(folder, now)) RemoveFolder(folder);
  }
  DropDanglingLinks(root);
}

}  // namespace sorvane::journal
