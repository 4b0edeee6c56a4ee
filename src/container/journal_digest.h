// The digests that tell an entry's file again: of the bytes an edit wrote, and of a sample of
// the file as the entry would put it back. Both read what an entry keeps at most, plus a few
// blocks, whatever the file's size.
#pragma once

#include <cstdint>
#include <vector>

#include "container/journal_entry.h"

namespace sorvane::journal {

// The file's current bytes where the entry's records lie (what the edit overwrote), and a
// sample of what lies past the entry's original length (what it added). False when the file
// could not be read.
bool WrittenDigest(XaFile& xa, const EntryHeader& h, const std::vector<Record>& records,
                   std::uint32_t& digest);

// A sample of the first `length` bytes of the file as the entry `entry` would put them back:
// the file's bytes with what the records keep laid over them (no records: the file as it is).
bool SampleDigest(XaFile& xa, int entry, std::int64_t length, const std::vector<Record>& records,
                  std::uint32_t& digest);

// Whether the file `st` is the one the entry at `fd` was made for and as it left it: a
// closed entry by the file's identity (and when only the ctime moved, by the digests); an
// open or interrupted entry by its inode, generation and birth time and by a sample of the
// bytes it would put back. Same, Changed or Foreign.
Verdict FitClosed(XaFile& xa, int fd, const EntryHeader& h, const std::vector<Record>& records,
                  const XaFileStat& st);
Verdict FitUnfinished(XaFile& xa, int fd, const EntryHeader& h, const std::vector<Record>& records,
                      const XaFileStat& st);

// Closes the entry `fd` whose whole records end at `content`: the file is synced first, the
// entry cut to its content (what a crash tore or a reservation added goes), and the file's
// identity and the digest of the bytes written recorded; `settings`, when given, become the
// entry's settings after. Made durable.
bool CloseEntry(XaFile& xa, int fd, std::int64_t content, const std::vector<Record>& records,
                const KeptSettings* settings);

}  // namespace sorvane::journal
