// Where a file's journal lives and how the journal as a whole is kept in bounds.
//
// A file's entries are in `<root>/<device>-<inode>/`, with a note `file` that names the file
// (path, inode, generation, birth time, the volume it lies on). Device numbers change across
// reboots for btrfs subvolumes, NFS, FUSE and removable media, so the index
// `<root>/index/<path hash>-<inode>`, a link to the folder, finds it again by the file's
// path and inode; the folder is then moved to the file's new key.
#pragma once

#include <cstdint>
#include <string>

#include "container/file_io.h"
#include "container/xa_file.h"

namespace sorvane::journal {

// The folder of the open file's journal. With `settle` (the caller holds the file's lock), a
// folder found only through the index is moved to the file's current key; without, it is
// used where it is. The folder need not exist.
std::string FindFolder(const std::string& root, const XaFile& xa, const XaFileStat& st,
                       bool settle);

// Makes the folder (and the root) and, when it is new or the file's path changed, writes the
// folder's note and the index link; every new folder and link is made durable in its parent.
bool PrepareFolder(const std::string& root, const std::string& folder, const XaFile& xa,
                   const XaFileStat& st, FileIo& io);

// Moves a folder whose entries belong to a file that is gone (its inode now holds another
// file) out of the way, under a name of its own, so that the new file starts afresh.
void SetFolderAside(const std::string& folder);

// The most the whole journal may hold: $SORVANE_UNDO_MAX bytes, else 8 GiB.
std::int64_t JournalLimit();

// Drops the oldest closed entries of every file while the journal holds more than `limit`
// bytes; the newest entry of `current` stays.
void CapJournal(const std::string& root, const std::string& current, std::int64_t limit);

// Removes the folders of files that no longer exist at their recorded path and were last
// used 30 days or more before `now` (seconds since the epoch); never one with an entry that
// is not closed, never one whose file lies on a volume that is not mounted. Runs at most once
// a day.
void RemoveGoneFolders(const std::string& root, std::int64_t now);

}  // namespace sorvane::journal
