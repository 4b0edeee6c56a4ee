#include "container/journal_entry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "format/little_endian.h"

namespace sorvane::journal {
namespace {

constexpr char kMagic[8] = {'S', 'V', 'U', 'N', 'D', 'O', '0', '1'};

void PutSettings(std::uint8_t* at, const KeptSettings& s) {
  PutLe32(at, static_cast<std::uint32_t>(s.ChannelPostGap));
  PutLe32(at + 4, static_cast<std::uint32_t>(s.EndPostGap));
  PutLe32(at + 8, static_cast<std::uint32_t>(s.ResizePermission));
}

KeptSettings GetSettings(const std::uint8_t* at) {
  return {static_cast<std::int32_t>(GetLe32(at)), static_cast<std::int32_t>(GetLe32(at + 4)),
          static_cast<std::int32_t>(GetLe32(at + 8))};
}

void Encode(const EntryHeader& h, std::uint8_t* out) {
  std::memset(out, 0, kHeaderBytes);
  std::memcpy(out, kMagic, 8);
  PutLe32(out + 8, static_cast<std::uint32_t>(h.State));
  PutLe64(out + 16, h.Inverse);
  PutLe64(out + 24, static_cast<std::uint64_t>(h.Time));
  std::memcpy(out + 32, h.Command, 16);
  PutLe64(out + 48, static_cast<std::uint64_t>(h.OriginalLength));
  PutLe64(out + 56, static_cast<std::uint64_t>(h.AfterLength));
  PutLe64(out + 64, static_cast<std::uint64_t>(h.AfterModifiedNs));
  PutSettings(out + 72, h.Before);
  PutSettings(out + 84, h.After);
  PutLe64(out + 96, static_cast<std::uint64_t>(h.BornNs));
  PutLe64(out + 104, static_cast<std::uint64_t>(h.BytesKept));
}

bool Decode(const std::uint8_t* in, EntryHeader& h) {
  if (std::memcmp(in, kMagic, 8) != 0) return false;
  const std::uint32_t state = GetLe32(in + 8);
  if (state > static_cast<std::uint32_t>(EntryState::Applying)) return false;
  h.State = static_cast<EntryState>(state);
  h.Inverse = GetLe64(in + 16);
  h.Time = static_cast<std::int64_t>(GetLe64(in + 24));
  std::memcpy(h.Command, in + 32, 16);
  h.Command[15] = '\0';
  h.OriginalLength = static_cast<std::int64_t>(GetLe64(in + 48));
  h.AfterLength = static_cast<std::int64_t>(GetLe64(in + 56));
  h.AfterModifiedNs = static_cast<std::int64_t>(GetLe64(in + 64));
  h.Before = GetSettings(in + 72);
  h.After = GetSettings(in + 84);
  h.BornNs = static_cast<std::int64_t>(GetLe64(in + 96));
  h.BytesKept = static_cast<std::int64_t>(GetLe64(in + 104));
  return h.OriginalLength >= 0;
}

const char* Suffix(JournalDirection d) { return d == JournalDirection::Undo ? ".undo" : ".redo"; }

bool ParseEntryName(const char* name, EntryName& e) {
  char* end = nullptr;
  const unsigned long long number = std::strtoull(name, &end, 16);
  if (end != name + 16) return false;
  const std::string rest = end;
  for (const JournalDirection d : {JournalDirection::Undo, JournalDirection::Redo}) {
    const std::string suffix = Suffix(d);
    if (rest != suffix && rest != suffix + ".part") continue;
    e = {number, d, rest.size() > suffix.size()};
    return true;
  }
  return false;
}

// Copies the file's current bytes of `count` pieces to the entry at `end`, through a buffer
// of about kBatchBytes whatever their size.
bool CopyPieces(XaFile& xa, int fd, std::int64_t& end, const ByteRange* pieces, std::size_t count) {
  std::vector<std::uint8_t> buffer;
  buffer.reserve(std::size_t(kBatchBytes));
  auto flush = [&] {
    if (!WriteAllAt(*xa.Io, fd, end, buffer.data(), buffer.size())) return false;
    end += std::int64_t(buffer.size());
    buffer.clear();
    return true;
  };
  for (std::size_t k = 0; k < count; ++k) {
    for (std::int64_t at = pieces[k].Begin; at < pieces[k].End;) {
      const std::int64_t part =
          std::min(kBatchBytes - std::int64_t(buffer.size()), pieces[k].End - at);
      const std::size_t from = buffer.size();
      buffer.resize(from + std::size_t(part));
      if (!ReadBytesAt(xa, at, &buffer[from], part)) return false;
      at += part;
      if (std::int64_t(buffer.size()) == kBatchBytes && !flush()) return false;
    }
  }
  return flush();
}

}  // namespace

KeptSettings SettingsOf(const XaFile& xa) {
  return {xa.ChannelPostGap, xa.EndPostGap, xa.ResizePermission};
}

std::int64_t ReadFull(int fd, std::int64_t offset, void* data, std::int64_t size) {
  std::int64_t done = 0;
  auto* bytes = static_cast<std::uint8_t*>(data);
  while (done < size) {
    const ssize_t n =
        ::pread(fd, bytes + done, static_cast<std::size_t>(size - done), offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

JournalDirection Other(JournalDirection d) {
  return d == JournalDirection::Undo ? JournalDirection::Redo : JournalDirection::Undo;
}

std::string EntryPath(const std::string& folder, const EntryName& e) {
  char name[64];
  std::snprintf(name, sizeof name, "/%016llx%s%s", static_cast<unsigned long long>(e.Number),
                Suffix(e.Direction), e.Partial ? ".part" : "");
  return folder + name;
}

std::vector<EntryName> ListFolder(const std::string& folder) {
  std::vector<EntryName> entries;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return entries;
  while (const dirent* d = ::readdir(dir)) {
    EntryName e;
    if (ParseEntryName(d->d_name, e)) entries.push_back(e);
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const EntryName& a, const EntryName& b) { return a.Number < b.Number; });
  return entries;
}

std::uint64_t NextNumber(const std::vector<EntryName>& entries) {
  return entries.empty() ? 1 : entries.back().Number + 1;
}

bool SyncFolder(FileIo& io, const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = io.Sync(fd) == 0;
  ::close(fd);
  return synced;
}

bool ReadHeader(int fd, EntryHeader& h) {
  std::uint8_t bytes[kHeaderBytes];
  return ReadFull(fd, 0, bytes, kHeaderBytes) == kHeaderBytes && Decode(bytes, h);
}

bool WriteHeader(FileIo& io, int fd, const EntryHeader& h) {
  std::uint8_t bytes[kHeaderBytes];
  Encode(h, bytes);
  return WriteAllAt(io, fd, 0, bytes, kHeaderBytes) && io.Sync(fd) == 0;
}

bool ReadHeaderAt(const std::string& path, EntryHeader& h) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool read = ReadHeader(fd, h);
  ::close(fd);
  return read;
}

std::string FolderOf(const std::string& root, const XaFileStat& st) {
  char name[64];
  std::snprintf(name, sizeof name, "/%llx-%llx", static_cast<unsigned long long>(st.Device),
                static_cast<unsigned long long>(st.Inode));
  return root + name;
}

void DropForeignEntries(const std::string& folder, const XaFileStat& st) {
  const std::vector<EntryName> entries = ListFolder(folder);
  if (entries.empty() || st.BornNs == 0) return;
  EntryHeader h;
  if (!ReadHeaderAt(EntryPath(folder, entries.back()), h) || h.BornNs == 0 || h.BornNs == st.BornNs)
    return;
  for (const EntryName& e : entries) ::unlink(EntryPath(folder, e).c_str());
}

std::vector<Record> ReadRecords(int fd) {
  std::vector<Record> records;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return records;
  for (std::int64_t at = kHeaderBytes; at + kRecordHead <= st.st_size;) {
    std::uint8_t head[kRecordHead];
    if (ReadFull(fd, at, head, kRecordHead) != kRecordHead) break;
    Record r{};
    r.Offset = static_cast<std::int64_t>(GetLe64(head));
    r.Size = static_cast<std::int64_t>(GetLe64(head + 8));
    r.Stride = static_cast<std::int64_t>(GetLe64(head + 16));
    r.Count = static_cast<std::int64_t>(GetLe64(head + 24));
    r.At = at + kRecordHead;
    const std::int64_t room = st.st_size - r.At;
    if (r.Offset < 0 || r.Size <= 0 || r.Stride < 0 || r.Count <= 0 || r.Size > room ||
        r.Count > room / r.Size)
      break;
    records.push_back(r);
    at = r.At + r.Bytes();
  }
  return records;
}

bool AppendRanges(XaFile& xa, int fd, std::int64_t& end, const std::vector<ByteRange>& ranges,
                  std::int64_t& kept) {
  for (std::size_t first = 0; first < ranges.size();) {
    const std::int64_t size = ranges[first].End - ranges[first].Begin;
    const std::int64_t stride =
        first + 1 < ranges.size() ? ranges[first + 1].Begin - ranges[first].Begin : 0;
    std::size_t last = first + 1;
    while (last < ranges.size() && ranges[last].End - ranges[last].Begin == size &&
           ranges[last].Begin - ranges[last - 1].Begin == stride)
      ++last;
    std::uint8_t head[kRecordHead];
    PutLe64(head, static_cast<std::uint64_t>(ranges[first].Begin));
    PutLe64(head + 8, static_cast<std::uint64_t>(size));
    PutLe64(head + 16, static_cast<std::uint64_t>(last - first > 1 ? stride : 0));
    PutLe64(head + 24, static_cast<std::uint64_t>(last - first));
    if (!WriteAllAt(*xa.Io, fd, end, head, kRecordHead)) return false;
    end += kRecordHead;
    if (!CopyPieces(xa, fd, end, &ranges[first], last - first)) return false;
    kept += size * std::int64_t(last - first);
    first = last;
  }
  return true;
}

void Trim(const std::string& folder) {
  std::vector<EntryName> entries = ListFolder(folder);
  std::int64_t total = 0;
  std::vector<std::int64_t> sizes;
  for (const EntryName& e : entries) {
    struct stat st {};
    sizes.push_back(::stat(EntryPath(folder, e).c_str(), &st) == 0 ? st.st_size : 0);
    total += sizes.back();
  }
  // The count limit is on edits that can be undone; what can be redo came from them.
  auto undoable = std::count_if(entries.begin(), entries.end(), [](const EntryName& e) {
    return e.Direction == JournalDirection::Undo && !e.Partial;
  });
  std::size_t first = 0;
  while (entries.size() - first > 1 &&
         (undoable > UndoJournal::kMaxEntries || total > UndoJournal::kMaxBytes)) {
    if (entries[first].Direction == JournalDirection::Undo) --undoable;
    ::unlink(EntryPath(folder, entries[first]).c_str());
    total -= sizes[first++];
  }
}

}  // namespace sorvane::journal
