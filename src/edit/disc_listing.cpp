#include "edit/disc_listing.h"

#include <memory>

#include "container/channel_scan.h"
#include "edit/image_open.h"

namespace sorvane {
namespace {

// The channels of a file's first sectors; a file that cannot be opened or scanned has none,
// and the reason joins the warnings.
int QuickChannels(const std::string& path, const DiscImage& image, const DiscFile& file,
                  std::vector<std::string>& warnings) {
  auto xa = std::make_unique<XaFile>();
  SilentProgress silent;
  if (OpenDiscEntry(*xa, path, image, file.Path) != 0 ||
      ScanChannels(*xa, kWalkLimitOpen, silent) != 0) {
    warnings.push_back(file.Path + ": " + xa->LastErrorText);
    return 0;
  }
  return xa->AudioChannelTable.Count;
}

}  // namespace

const char* ListDiscFiles(const std::string& path, bool all, DiscContents& contents) {
  contents = DiscContents{};
  DiscImage image;
  if (const char* refused = ReadDiscImage(path, image)) return refused;
  contents.Warnings = image.Warnings;
  for (const DiscFile& file : image.Files) {
    if (!all && !file.MayHoldAudio()) continue;
    const int channels =
        file.MayHoldAudio() ? QuickChannels(path, image, file, contents.Warnings) : 0;
    contents.Files.push_back({file, channels});
  }
  return nullptr;
}

}  // namespace sorvane
