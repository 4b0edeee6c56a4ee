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

constexpr char kMagic[8] = {'S', 'V', 'U', 'N', 'D', 'O', '0', '2'};
constexpr std::int64_t kHeaderCrcAt = kHeaderBytes - 4;
constexpr std::uint32_t kRecordTag = 0x43525653;  // "SVRC"

void PutSettings(std::uint8_t* at, const KeptSettings& s) {
  PutLe32(at, static_cast<std::uint32_t>(s.ChannelPostGap));
  PutLe32(at + 4, static_cast<std::uint32_t>(s.EndPostGap));
  PutLe32(at + 8, static_cast<std::uint32_t>(s.ResizePermission));
}

KeptSettings GetSettings(const std::uint8_t* at) {
  return {static_cast<std::int32_t>(GetLe32(at)), static_cast<std::int32_t>(GetLe32(at + 4)),
          static_cast<std::int32_t>(GetLe32(at + 8))};
}

void Put64(std::uint8_t* at, std::int64_t value) { PutLe64(at, static_cast<std::uint64_t>(value)); }
std::int64_t Get64(const std::uint8_t* at) { return static_cast<std::int64_t>(GetLe64(at)); }

// Times, birth time, inode and generation; the length is stored apart where it has a meaning.
void PutIdentity(std::uint8_t* at, const FileIdentity& id) {
  Put64(at, id.ModifiedNs);
  Put64(at + 8, id.ChangedNs);
  Put64(at + 16, id.BornNs);
  PutLe64(at + 24, id.Inode);
  PutLe64(at + 32, id.Generation);
}

void GetIdentity(const std::uint8_t* at, FileIdentity& id) {
  id.ModifiedNs = Get64(at);
  id.ChangedNs = Get64(at + 8);
  id.BornNs = Get64(at + 16);
  id.Inode = GetLe64(at + 24);
  id.Generation = GetLe64(at + 32);
}

void Encode(const EntryHeader& h, std::uint8_t* out) {
  std::memset(out, 0, kHeaderBytes);
  std::memcpy(out, kMagic, 8);
  PutLe32(out + 8, static_cast<std::uint32_t>(h.State));
  PutLe32(out + 12, (h.Before.HasGeneration ? 1u : 0u) | (h.After.HasGeneration ? 2u : 0u));
  PutLe64(out + 16, h.Inverse);
  Put64(out + 24, h.Time);
  std::memcpy(out + 32, h.Command, 16);
  Put64(out + 48, h.OriginalLength);
  PutIdentity(out + 56, h.Before);
  Put64(out + 96, h.After.Length);
  PutIdentity(out + 104, h.After);
  PutSettings(out + 144, h.SettingsBefore);
  PutSettings(out + 156, h.SettingsAfter);
  Put64(out + 168, h.BytesKept);
  Put64(out + 176, h.DurableEnd);
  Put64(out + 184, h.ContentEnd);
  PutLe32(out + 192, h.WrittenDigest);
  PutLe32(out + 196, h.SampleDigest);
  PutLe32(out + 200, static_cast<std::uint32_t>(h.Path.size()));
  PutLe32(out + kHeaderCrcAt, Crc32c(0, out, kHeaderCrcAt));
}

// False when the header's checksum, magic or fields disagree. The path is read apart.
bool Decode(const std::uint8_t* in, EntryHeader& h, std::uint32_t& pathBytes) {
  if (std::memcmp(in, kMagic, 8) != 0 || GetLe32(in + kHeaderCrcAt) != Crc32c(0, in, kHeaderCrcAt))
    return false;
  const std::uint32_t state = GetLe32(in + 8);
  if (state > static_cast<std::uint32_t>(EntryState::Applying)) return false;
  h.State = static_cast<EntryState>(state);
  const std::uint32_t flags = GetLe32(in + 12);
  h.Inverse = GetLe64(in + 16);
  h.Time = Get64(in + 24);
  std::memcpy(h.Command, in + 32, 16);
  h.Command[15] = '\0';
  h.OriginalLength = Get64(in + 48);
  GetIdentity(in + 56, h.Before);
  h.Before.Length = h.OriginalLength;
  h.Before.HasGeneration = (flags & 1u) != 0;
  h.After.Length = Get64(in + 96);
  GetIdentity(in + 104, h.After);
  h.After.HasGeneration = (flags & 2u) != 0;
  h.SettingsBefore = GetSettings(in + 144);
  h.SettingsAfter = GetSettings(in + 156);
  h.BytesKept = Get64(in + 168);
  h.DurableEnd = Get64(in + 176);
  h.ContentEnd = Get64(in + 184);
  h.WrittenDigest = GetLe32(in + 192);
  h.SampleDigest = GetLe32(in + 196);
  pathBytes = GetLe32(in + 200);
  return h.OriginalLength >= 0 && pathBytes <= 65536;
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
// The number of pieces from `first` on that one read of at most kBatchBytes covers, when
// they are dense enough (at least an eighth of what is read) to be worth it; else 1.
std::size_t PiecesInOneRead(const ByteRange* pieces, std::size_t count, std::size_t first) {
  std::size_t last = first + 1;
  std::int64_t bytes = pieces[first].End - pieces[first].Begin;
  while (last < count && pieces[last].Begin >= pieces[last - 1].End &&
         pieces[last].End - pieces[first].Begin <= kBatchBytes) {
    bytes += pieces[last].End - pieces[last].Begin;
    ++last;
  }
  const std::int64_t span = pieces[last - 1].End - pieces[first].Begin;
  return bytes * 8 >= span ? last - first : 1;
}

bool CopyPieces(XaFile& xa, int fd, std::int64_t& end, const ByteRange* pieces, std::size_t count,
                std::uint32_t& crc) {
  std::vector<std::uint8_t> buffer;
  buffer.reserve(std::size_t(kBatchBytes));
  std::vector<std::uint8_t> span;
  auto flush = [&] {
    crc = Crc32c(crc, buffer.data(), buffer.size());
    if (!WriteAllAt(*xa.Io, fd, end, buffer.data(), buffer.size())) return false;
    end += std::int64_t(buffer.size());
    buffer.clear();
    return true;
  };
  for (std::size_t k = 0; k < count;) {
    // Interleaved sectors are read a span at a time rather than one system call each.
    const std::size_t n = PiecesInOneRead(pieces, count, k);
    if (n > 1) {
      const std::int64_t from = pieces[k].Begin;
      span.resize(std::size_t(pieces[k + n - 1].End - from));
      if (!ReadBytesAt(xa, from, span.data(), std::int64_t(span.size()))) return false;
      for (std::size_t j = k; j < k + n; ++j) {
        const std::int64_t size = pieces[j].End - pieces[j].Begin;
        if (std::int64_t(buffer.size()) + size > kBatchBytes && !flush()) return false;
        const std::uint8_t* piece = span.data() + (pieces[j].Begin - from);
        buffer.insert(buffer.end(), piece, piece + size);
      }
      k += n;
      continue;
    }
    for (std::int64_t at = pieces[k].Begin; at < pieces[k].End;) {
      const std::int64_t part =
          std::min(kBatchBytes - std::int64_t(buffer.size()), pieces[k].End - at);
      const std::size_t from = buffer.size();
      buffer.resize(from + std::size_t(part));
      if (!ReadBytesAt(xa, at, &buffer[from], part)) return false;
      at += part;
      if (std::int64_t(buffer.size()) == kBatchBytes && !flush()) return false;
    }
    ++k;
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

bool MakeFolders(const std::string& path, bool* created) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    const bool made = ::mkdir(part.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) return false;
    if (created != nullptr) *created = made;
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

EntryCheck CheckHeader(int fd, EntryHeader& h) {
  std::uint8_t bytes[kHeaderBytes];
  const std::int64_t got = ReadFull(fd, 0, bytes, kHeaderBytes);
  if (got < 0) return EntryCheck::Unreadable;
  std::uint32_t pathBytes = 0;
  if (got != kHeaderBytes || !Decode(bytes, h, pathBytes)) return EntryCheck::Damaged;
  std::vector<std::uint8_t> path(pathBytes + 4);
  if (ReadFull(fd, kHeaderBytes, path.data(), pathBytes + 4) != pathBytes + 4 ||
      GetLe32(&path[pathBytes]) != Crc32c(0, path.data(), pathBytes))
    return EntryCheck::Damaged;
  h.Path.assign(path.begin(), path.begin() + pathBytes);
  return EntryCheck::Whole;
}

EntryCheck CheckHeaderAt(const std::string& path, EntryHeader& h) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return EntryCheck::Unreadable;
  const EntryCheck check = CheckHeader(fd, h);
  ::close(fd);
  return check;
}

bool WriteHeader(FileIo& io, int fd, const EntryHeader& h, bool sync, bool withPath) {
  std::vector<std::uint8_t> bytes(std::size_t(h.RecordsStart()));
  Encode(h, bytes.data());
  std::size_t size = std::size_t(kHeaderBytes);
  if (withPath) {
    std::memcpy(&bytes[kHeaderBytes], h.Path.data(), h.Path.size());
    PutLe32(&bytes[bytes.size() - 4], Crc32c(0, h.Path.data(), h.Path.size()));
    size = bytes.size();
  }
  return WriteAllAt(io, fd, 0, bytes.data(), size) && (!sync || io.Sync(fd) == 0);
}

namespace {

// The record whose head lies at `at`, when its head is whole and its fields fit in `limit`.
bool ReadRecordHead(int fd, std::int64_t at, std::int64_t limit, Record& r, std::uint32_t& crc) {
  std::uint8_t head[kRecordHead];
  if (at + kRecordHead > limit || ReadFull(fd, at, head, kRecordHead) != kRecordHead) return false;
  if (GetLe32(head) != kRecordTag || GetLe32(head + 4) != Crc32c(0, head + 8, kRecordHead - 8))
    return false;
  r = {Get64(head + 8), Get64(head + 16), Get64(head + 24), Get64(head + 32), at + kRecordHead};
  crc = GetLe32(head + 40);
  const std::int64_t room = limit - r.At;
  return r.Offset >= 0 && r.Size > 0 && r.Stride >= 0 && r.Count > 0 && r.Size <= room &&
         r.Count <= room / r.Size;
}

// Whether the bytes of record `r` agree with their checksum.
bool RecordBytesWhole(int fd, const Record& r, std::uint32_t crc) {
  std::vector<std::uint8_t> buffer(std::size_t(std::min(r.Bytes(), kBatchBytes)));
  std::uint32_t c = 0;
  for (std::int64_t done = 0; done < r.Bytes();) {
    const std::int64_t part = std::min<std::int64_t>(std::int64_t(buffer.size()), r.Bytes() - done);
    if (ReadFull(fd, r.At + done, buffer.data(), part) != part) return false;
    c = Crc32c(c, buffer.data(), std::size_t(part));
    done += part;
  }
  return c == crc;
}

}  // namespace

EntryCheck CheckEntry(int fd, EntryHeader& h, std::vector<Record>& records, std::int64_t& content,
                      bool bytes) {
  records.clear();
  if (const EntryCheck head = CheckHeader(fd, h); head != EntryCheck::Whole) return head;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return EntryCheck::Unreadable;
  const bool open = h.State == EntryState::Open;
  // A closed entry is exactly as long as its header says; an open one ends where it ends.
  if (!open && st.st_size != h.ContentEnd) return EntryCheck::Damaged;
  const std::int64_t limit = open ? st.st_size : h.ContentEnd;
  std::int64_t at = h.RecordsStart();
  std::int64_t kept = 0;
  while (at < limit) {
    Record r{};
    std::uint32_t crc = 0;
    if (!ReadRecordHead(fd, at, limit, r, crc) || (bytes && !RecordBytesWhole(fd, r, crc))) break;
    records.push_back(r);
    kept += r.Bytes();
    at = r.At + r.Bytes();
  }
  content = at;
  if (at < limit && (!open || at < h.DurableEnd)) return EntryCheck::Damaged;
  if (open) return EntryCheck::Whole;
  return at == limit && kept == h.BytesKept ? EntryCheck::Whole : EntryCheck::Damaged;
}

OpenEntry::OpenEntry(const std::string& path, bool writable)
    : Fd(::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC)) {}

OpenEntry::~OpenEntry() {
  if (Fd >= 0) ::close(Fd);
}

EntryCheck OpenEntry::Check(bool bytes) {
  return Fd < 0 ? EntryCheck::Unreadable : CheckEntry(Fd, Header, Records, Content, bytes);
}

bool AppendRanges(XaFile& xa, int fd, std::int64_t& end, const std::vector<ByteRange>& ranges,
                  std::int64_t& kept, std::vector<Record>& written) {
  for (std::size_t first = 0; first < ranges.size();) {
    const std::int64_t size = ranges[first].End - ranges[first].Begin;
    const std::int64_t stride =
        first + 1 < ranges.size() ? ranges[first + 1].Begin - ranges[first].Begin : 0;
    std::size_t last = first + 1;
    while (last < ranges.size() && ranges[last].End - ranges[last].Begin == size &&
           ranges[last].Begin - ranges[last - 1].Begin == stride)
      ++last;
    // The bytes first, then the head that vouches for them.
    const std::int64_t headAt = end;
    end += kRecordHead;
    std::uint32_t crc = 0;
    if (!CopyPieces(xa, fd, end, &ranges[first], last - first, crc)) return false;
    std::uint8_t head[kRecordHead] = {};
    PutLe32(head, kRecordTag);
    Put64(head + 8, ranges[first].Begin);
    Put64(head + 16, size);
    Put64(head + 24, last - first > 1 ? stride : 0);
    Put64(head + 32, std::int64_t(last - first));
    PutLe32(head + 40, crc);
    PutLe32(head + 4, Crc32c(0, head + 8, kRecordHead - 8));
    if (!WriteAllAt(*xa.Io, fd, headAt, head, kRecordHead)) return false;
    written.push_back({ranges[first].Begin, size, last - first > 1 ? stride : 0,
                       std::int64_t(last - first), headAt + kRecordHead});
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
    const std::string path = EntryPath(folder, entries[first]);
    EntryHeader h;
    if (entries[first].Partial || CheckHeaderAt(path, h) != EntryCheck::Whole ||
        h.State != EntryState::Closed)
      break;  // an unfinished or damaged entry stays, and what is newer with it
    if (entries[first].Direction == JournalDirection::Undo) --undoable;
    ::unlink(path.c_str());
    total -= sizes[first++];
  }
}

}  // namespace sorvane::journal
