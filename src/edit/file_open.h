// Opening a file as the editor does (layout detection, then the scan of the first 64
// sectors), the whole-file scan of "全検索(&F)", and a new file. Both front ends open
// through these, so a path is resolved one way.
#pragma once

#include <string>

#include "common/outcome.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"

namespace sorvane {

// `path` made absolute against the current folder, with "." and ".." taken out; `path`
// itself when the current folder cannot be had.
std::string ResolvePath(const std::string& path);

enum class ScanExtent { FirstSectors, WholeFile };

// Closes `xa`, opens ResolvePath(path) (with `entry`, that entry of a disc image) and scans
// its first sectors, then with WholeFile the whole file. Failed: LastErrorText says why and
// the file is closed. Cancelled: the last scan was cancelled; the file stays open with what
// was found up to the cancel.
Outcome OpenAndScan(XaFile& xa, const std::string& path, ScanExtent extent,
                    ProgressMonitor& progress, const std::string& entry = {});

// Opens ResolvePath(path) for undo and redo, which need neither its layout nor a scan; a
// disc image's history is its data track's file, whatever entry was edited.
// Failed: LastErrorText says why.
Outcome OpenForHistory(XaFile& xa, const std::string& path);

// "全検索(&F)": rescans the whole open file. Failed: LastErrorText says why and the file is
// closed. Cancelled: the tables keep what was found up to the cancel.
Outcome FindAll(XaFile& xa, ProgressMonitor& progress);
// Scans the open file again, its first sectors or all of it, as the opening and FindAll do.
Outcome ScanAgain(XaFile& xa, ScanExtent extent, ProgressMonitor& progress);

// Writes a new file of 150 empty sectors in `layout` at ResolvePath(path), opens and
// scans it, and lets it grow and shrink without asking. Failed: LastErrorText says why and
// no file is open.
Outcome NewFile(XaFile& xa, const std::string& path, ProgressMonitor& progress,
                XaLayout layout = XaLayout::Plain2336);

}  // namespace sorvane
