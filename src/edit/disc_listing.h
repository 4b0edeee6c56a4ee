// What `disc` and the editor's chooser show of a disc image: its files, and for each that
// can hold audio, the channels a scan of its first sectors finds.
#pragma once

#include <string>
#include <vector>

#include "disc/disc_image.h"

namespace sorvane {

struct DiscListing {
  DiscFile File;
  int Channels = 0;  // found by a scan of its first sectors; 0 for data files
};

struct DiscContents {
  std::vector<DiscListing> Files;
  std::vector<std::string> Warnings;  // "path: message"
};

// Lists the files of the image at `path`: those that can hold audio, or with `all` every one.
// nullptr, or the fixed text of why the image cannot be read.
const char* ListDiscFiles(const std::string& path, bool all, DiscContents& contents);

}  // namespace sorvane
