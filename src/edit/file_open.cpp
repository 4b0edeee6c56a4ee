#include "edit/file_open.h"

#include <filesystem>

#include "common/fixed_texts.h"
#include "container/channel_scan.h"
#include "container/ripped_file.h"
#include "edit/cancel_watch.h"
#include "edit/image_open.h"

namespace sorvane {
namespace {

// Sound cut by a 2048-byte ripper can pass the detection as plain sectors where it is
// silent, then fails the scan on subheader copies that differ.
void ExplainFailedScan(XaFile& xa) {
  if (xa.Layout == XaLayout::Plain2336 && xa.LastErrorText == text::kBadData) ExplainRippedFile(xa);
}

// One scan; a read failure closes the file.
Outcome Scan(XaFile& xa, std::int32_t walkLimit, ProgressMonitor& progress) {
  CancelWatch watch(progress);
  xa.ScannedToEnd = false;
  if (ScanChannels(xa, walkLimit, watch) != 0) {
    ExplainFailedScan(xa);
    CloseXaFile(xa);
    return Outcome::Failed;
  }
  if (watch.Cancelled()) return Outcome::Cancelled;
  xa.ScannedToEnd = walkLimit == kWalkLimitFull;
  return Outcome::Done;
}

}  // namespace

std::string ResolvePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

Outcome OpenAndScan(XaFile& xa, const std::string& path, ScanExtent extent,
                    ProgressMonitor& progress, const std::string& entry) {
  CloseXaFile(xa);
  if (OpenFileOrEntry(xa, ResolvePath(path), entry) != 0) return Outcome::Failed;
  const Outcome first = Scan(xa, kWalkLimitOpen, progress);
  if (first == Outcome::Failed || extent == ScanExtent::FirstSectors) return first;
  return Scan(xa, kWalkLimitFull, progress);
}

Outcome OpenForHistory(XaFile& xa, const std::string& path) {
  std::string history;
  if (const char* refused = HistoryPathOf(ResolvePath(path), history)) {
    xa.LastErrorText = refused;
    return Outcome::Failed;
  }
  return OpenXaFileBytes(xa, history) == 0 ? Outcome::Done : Outcome::Failed;
}

Outcome FindAll(XaFile& xa, ProgressMonitor& progress) {
  return Scan(xa, kWalkLimitFull, progress);
}

Outcome ScanAgain(XaFile& xa, ScanExtent extent, ProgressMonitor& progress) {
  return Scan(xa, extent == ScanExtent::WholeFile ? kWalkLimitFull : kWalkLimitOpen, progress);
}

Outcome NewFile(XaFile& xa, const std::string& path, ProgressMonitor& progress, XaLayout layout) {
  CloseXaFile(xa);
  if (CreateXaFile(xa, ResolvePath(path), layout) != 0) return Outcome::Failed;
  const Outcome opened = OpenAndScan(xa, path, ScanExtent::FirstSectors, progress);
  if (opened == Outcome::Failed) return opened;
  xa.ScannedToEnd = true;  // nothing in it to find
  xa.ResizePermission = ResizeAllowed;
  return Outcome::Done;
}

}  // namespace sorvane
